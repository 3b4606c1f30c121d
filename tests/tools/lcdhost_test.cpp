#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/processrun.h"
#include "tests/tools/scratchdir.h"

// lcd-host run as a user runs it, against its embedded device simulator unless
// a case names another device. The simulator shows eight 240-pixel colour bars
// (white, yellow, cyan, green, magenta, red, blue, black) and knows layers 1-16.
namespace {

// Nothing listens on the loopback's tcpmux port: connections are refused at once.
constexpr const char* kSilentDevice = "http://127.0.0.1:1";

const char* const kLayers = R"([{"layerId":1,"cutout":{"enable":1,"brightness":{"threshold":20,"gain":60}}},)"
                            R"({"layerId":2,"cutout":{"enable":1,"type":1,"hue":{"color":{"R":0,"G":255,"B":0}}}}])";
// Layer 2's gain lies outside what the device deems plausible.
const char* const kAssessLayers = R"([{"layerId":1},{"layerId":2,"cutout":{"brightness":{"gain":150}}}])";
const char* const kUnknownLayer = R"([{"layerId":99}])";
const char* const kCutoutReport =
    R"({"source":"device","seq":8,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},)"
    R"("body":"[{\"layerId\":3,\"cutout\":{\"enable\":1,\"hue\":{\"hueClip\":30}}}]"})";
const char* const kCursorReport =
    R"({"source":"device","seq":9,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},)"
    R"("body":"{\"layerId\":2,\"cursor\":{\"enable\":1,\"pos\":{\"x\":900,\"y\":300},)"
    R"(\"color\":{\"R\":255,\"G\":0,\"B\":255}}}"})";
const char* const kErrorReport = R"({"source":"device","seq":10,"tl":{"ErrorCode":3},"body":"[{\"layerId\":3}]"})";
const char* const kCursorReportWithArrayBody = R"({"source":"device","seq":11,"tl":{"ErrorCode":0},"body":"[1,2]"})";

class LcdHost : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("layers.json", kLayers);
    dir_.write("assess.json", kAssessLayers);
    dir_.write("unknown.json", kUnknownLayer);
    dir_.write("cutout-report.json", kCutoutReport);
    dir_.write("cursor-report.json", kCursorReport);
    dir_.write("error-report.json", kErrorReport);
    dir_.write("array-body-report.json", kCursorReportWithArrayBody);
    dir_.write("object.json", R"({"layerId":1})");
    dir_.write("truncated.json", R"([{"layerId":)");
    dir_.write("prose.json", "layer one, please");
  }

  // Names of the files above become their paths.
  std::vector<std::string> withPaths(std::vector<std::string> arguments) const {
    for (std::string& argument : arguments) {
      if (argument.size() > 5 && argument.compare(argument.size() - 5, 5, ".json") == 0) {
        argument = (dir_.path() / argument).string();
      }
    }
    return arguments;
  }

  ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = {}) const {
    return runLcdHost(withPaths(arguments), input);
  }

  ScratchDir dir_;
};

std::string lastLine(const std::string& text) {
  const std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

std::string describe(const std::vector<std::string>& arguments) {
  std::string text = "lcd-host";
  for (const auto& argument : arguments) text += " " + argument;
  return text;
}

TEST_F(LcdHost, EachJobPrintsOneDocumentFromTheSimulator) {
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
  };
  const std::vector<Case> cases{
      {{"set-cutout", "layers.json"}, "", R"({"layers":2,"answer":1})"},
      {{"set-cutout", "-"}, kLayers, R"({"layers":2,"answer":1})"},
      {{"read-color", "--layer", "1", "--x", "300", "--y", "200"},
       "",
       R"({"layerId":1,"cursor":{"enable":1,"pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}})"},
      {{"read-color", "--layer", "16", "--x", "1919", "--y", "1079"},
       "",
       R"({"layerId":16,"cursor":{"enable":1,"pos":{"x":1919,"y":1079},"color":{"R":0,"G":0,"B":0}}})"},
      {{"assess", "assess.json"},
       "",
       R"({"code":0,"message":"","data":[{"layerId":1,"state":0,"interfaces":[{"interfaceId":1},{"interfaceId":2}]},)"
       R"({"layerId":2,"state":1,"interfaces":[{"interfaceId":3},{"interfaceId":4}]}]})"},
      {{"report", "cursor", "cursor-report.json"},
       "",
       R"({"event":"0xfc08040f","data":{"layerId":2,"cursor":{"enable":1,"pos":{"x":900,"y":300},)"
       R"("color":{"R":255,"G":0,"B":255}}}})"},
      {{"report", "cutout", "-"},
       kCutoutReport,
       R"({"event":"0xfc08040e","data":[{"layerId":3,"cutout":{"enable":1,"cursor":{"enable":0},"type":0,)"
       R"("brightness":{"threshold":10,"gain":50,"foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},)"
       R"("hue":{"color":{"R":50,"G":50,"B":50},"hueClip":30,"hueRamp":90,"saturationClip":5,"saturationGain":10,)"
       R"("spill":100,"shadow":0,"highLigh":0,"edgeSmooth":0}}}]})"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = run(c.arguments, c.input);
    EXPECT_EQ(result.exitCode, 0) << describe(c.arguments) << "\n" << result.err;
    EXPECT_EQ(result.out, c.out + "\n") << describe(c.arguments);
    EXPECT_EQ(result.err, "") << describe(c.arguments);
  }
}

TEST_F(LcdHost, RefusalsAndSilenceExitOneWithTheReasonLast) {
  struct Case {
    std::vector<std::string> arguments;
    std::string out;
    std::string reason;
  };
  const std::vector<Case> cases{
      {{"set-cutout", "unknown.json"},
       R"({"layers":1,"answer":0})"
       "\n",
       "refused the layer cutout settings (answer 0)"},
      {{"read-color", "--layer", "1", "--x", "1920", "--y", "0"},
       R"({"layerId":-1,"cursor":{"enable":0,"pos":{"x":0,"y":0},"color":{"R":50,"G":50,"B":50}}})"
       "\n",
       "could not read the colour under the cursor of layer 1 (layerId -1)"},
      {{"assess", "unknown.json"}, "", "no assessment: the exchange record is untouched"},
      {{"report", "cutout", "error-report.json"}, "", "sent no event 0xfc08040e"},
      {{"report", "cursor", "array-body-report.json"}, "", "sent no event 0xfc08040f"},
      {{"--device", kSilentDevice, "set-cutout", "layers.json"},
       "",
       "no answer to command 0xfc050413: the device at http://127.0.0.1:1 did not answer"},
      {{"read-color", "--layer", "1", "--x", "1", "--y", "1", "--device", kSilentDevice},
       "",
       "no answer to command 0xfc050415"},
      {{"--device", kSilentDevice, "assess", "layers.json"}, "", "untouched"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, 1) << describe(c.arguments) << "\n" << result.err;
    EXPECT_EQ(result.out, c.out) << describe(c.arguments);
    const std::string reason = lastLine(result.err);
    EXPECT_EQ(reason.rfind("lcd-host: ", 0), 0u) << describe(c.arguments) << "\n" << result.err;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << describe(c.arguments) << "\n" << result.err;
  }
}

TEST_F(LcdHost, BadUsageAndBadInputExitTwoWithOneLine) {
  struct Case {
    std::vector<std::string> arguments;
    std::string reason;
  };
  const std::vector<Case> cases{
      {{}, "a command is required (commands: set-cutout, read-color, assess, report, demo)"},
      {{"bogus"}, "unknown command 'bogus' (commands: set-cutout, read-color, assess, report, demo)"},
      {{"set-cutout", "layers.json", "extra"}, "unexpected argument 'extra'"},
      {{"read-color", "--layer", "1", "--x", "1"}, "--y is required"},
      {{"read-color", "--layer", "one", "--x", "1", "--y", "1"}, "--layer"},
      {{"set-cutout"}, "FILE is required"},
      {{"report", "sideways", "cutout-report.json"}, "sideways"},
      {{"--user", "bob", "demo"}, "--user requires --device"},
      {{"--timeout-ms", "0", "demo"}, "--timeout-ms"},
      {{"set-cutout", "missing.json"}, "cannot read " + (dir_.path() / "missing.json").string() + ": No such file"},
      {{"assess", dir_.path().string()}, "is a directory"},
      {{"set-cutout", "object.json"},
       "not a JSON array of layer cutouts: error at line :0 col :1 msg:array must start with [."},
      {{"assess", "truncated.json"}, "not a JSON array of layer cutouts"},
      {{"report", "cursor", "prose.json"}, "not a device report"},
      {{"--plugin", "/nonexistent/liblayercutoutmodel.so.1", "read-color", "--layer", "1", "--x", "1", "--y", "1"},
       "cannot load the plug-in"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << describe(c.arguments) << "\n" << result.err;
    EXPECT_EQ(result.out, "") << describe(c.arguments);
    EXPECT_EQ(result.err.rfind("lcd-host: ", 0), 0u) << describe(c.arguments) << "\n" << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << describe(c.arguments) << "\n" << result.err;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << describe(c.arguments) << "\n" << result.err;
  }
}

TEST_F(LcdHost, HelpOnEverySubcommand) {
  for (const std::string command : {"", "set-cutout", "read-color", "assess", "report", "demo"}) {
    std::vector<std::string> arguments;
    if (!command.empty()) arguments.push_back(command);
    arguments.push_back("--help");
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.exitCode, 0) << describe(arguments);
    EXPECT_NE(result.out.find("Usage: "), std::string::npos) << describe(arguments);
    EXPECT_NE(result.out.find(command.empty() ? "SUBCOMMAND" : command), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "") << describe(arguments);
  }
}

TEST_F(LcdHost, DemoNarratesAllFourJobs) {
  const ProcessResult result = run({"demo"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const char* line : {"answer 1: the device accepted both layers", "(1800, 540): R 0 G 0 B 0 (black)",
                           "layer 2: state 0, interfaces 3, 4", "event 0xfc08040e with the changed settings",
                           "event 0xfc08040f: layer 2, cursor on at (900, 300)", "demo: 5 of 5 steps succeeded"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
}

TEST_F(LcdHost, DemoWithoutADeviceCountsTheFailedSteps) {
  const ProcessResult result = run({"demo", "--device", kSilentDevice});
  EXPECT_EQ(result.exitCode, 1);
  // The two report steps do not reach the device.
  EXPECT_NE(result.out.find("demo: 2 of 5 steps succeeded"), std::string::npos) << result.out;
  EXPECT_EQ(lastLine(result.err), "lcd-host: 3 demo steps failed");
}

}  // namespace
