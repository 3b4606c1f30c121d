// lcd-host run as a user runs it, against its embedded device simulator unless
// a case names another device: one command line per case with the input files
// it names, its exit status, its standard output (all of it, or parts it
// holds, split at "|"; a whole output ends in a newline) and the reason on standard error ('' stands for an
// empty argument).
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/processrun.h"

namespace {

const std::map<std::string, std::string> kFiles = {
    {"layers.json",
     R"([{"layerId":1,"cutout":{"enable":1,"brightness":{"threshold":20,"gain":60}}},{"layerId":2,"cutout":{"enable":1,"type":1,"hue":{"color":{"R":0,"G":255,"B":0}}}}])"},
    {"assess.json", R"([{"layerId":1},{"layerId":2,"cutout":{"brightness":{"gain":150}}}])"},
    {"unknown.json", R"([{"layerId":99}])"},
    {"cutout-report.json",
     R"({"source":"device","seq":8,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},"body":"[{\"layerId\":3,\"cutout\":{\"enable\":1,\"hue\":{\"hueClip\":30}}}]"})"},
    {"cursor-report.json",
     R"({"source":"device","seq":9,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},"body":"{\"layerId\":2,\"cursor\":{\"enable\":1,\"pos\":{\"x\":900,\"y\":300},\"color\":{\"R\":255,\"G\":0,\"B\":255}}}"})"},
    {"array-body-report.json", R"({"source":"device","seq":11,"tl":{"ErrorCode":0},"body":"[1,2]"})"},
    {"object.json", R"({"layerId":1})"},
    {"truncated.json", R"([{"layerId":)"},
    {"prose.json", "layer one, please"},
};

struct CommandLine {
  std::string name, args, stdinFile;
  int exit;
  std::string out, err;
};

const std::string kCommandList = "(commands: set-cutout, read-color, assess, report, demo, watch)";
const std::string kNobody = "--device http://127.0.0.1:1 ";
const std::string kCursorAt1 = "read-color --layer 1 --x 1 --y 1";

std::vector<CommandLine> runs() {
  std::vector<CommandLine> all{
      {"SetCutout", "set-cutout layers.json", "", 0, "{\"layers\":2,\"answer\":1}", ""},
      {"ReadColor", "read-color --layer 1 --x 300 --y 200", "", 0,
       R"({"layerId":1,"cursor":{"enable":1,"pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}})", ""},
      {"Assess", "assess assess.json", "", 0,
       R"({"code":0,"message":"","data":[{"layerId":1,"state":0,"interfaces":[{"interfaceId":1},{"interfaceId":2}]},)"
       R"({"layerId":2,"state":1,"interfaces":[{"interfaceId":3},{"interfaceId":4}]}]})",
       ""},
      {"CursorReport", "report cursor cursor-report.json", "", 0,
       R"({"event":"0xfc08040f","data":{"layerId":2,"cursor":{"enable":1,"pos":{"x":900,"y":300},"color":{"R":255,"G":0,"B":255}}}})",
       ""},
      {"CutoutReportFromStdin", "report cutout -", "cutout-report.json", 0,
       R"({"event":"0xfc08040e","data":[{"layerId":3,"cutout":{"enable":1,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,"gain":50,"foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},)"
       R"("hue":{"color":{"R":50,"G":50,"B":50},"hueClip":30,"hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,"shadow":0,"highLigh":0,"edgeSmooth":0}}}]})",
       ""},
      {"SetCutoutRefused", "set-cutout unknown.json", "", 1, "{\"layers\":1,\"answer\":0}",
       "refused the layer cutout settings (answer 0)"},
      {"ReadColorRefused", "read-color --layer 1 --x 1920 --y 0", "", 1,
       R"({"layerId":-1,"cursor":{"enable":0,"pos":{"x":0,"y":0},"color":{"R":50,"G":50,"B":50}}})",
       "could not read the colour under the cursor of layer 1 (layerId -1)"},
      {"AssessRefused", "assess unknown.json", "", 1, "", "no assessment: the exchange record is untouched"},
      {"ReportWithArrayBody", "report cursor array-body-report.json", "", 1, "", "sent no event 0xfc08040f"},
      {"SetCutoutUnanswered", kNobody + "set-cutout layers.json", "", 1, "",
       "no answer to command 0xfc050413: the device at http://127.0.0.1:1 did not answer (refused)"},
      {"ReadColorUnanswered", kCursorAt1 + " " + kNobody, "", 1, "", "no answer to command 0xfc050415"},
      {"NoCommand", "", "", 2, "", "a command is required " + kCommandList},
      {"UnknownCommand", "bogus", "", 2, "", "unknown command 'bogus' " + kCommandList},
      {"StrayArgument", "set-cutout layers.json extra", "", 2, "", "unexpected argument 'extra'"},
      {"OptionMissing", "read-color --layer 1 --x 1", "", 2, "", "--y is required"},
      {"OptionNotANumber", "read-color --layer one --x 1 --y 1", "", 2, "", "--layer"},
      {"FileMissing", "set-cutout", "", 2, "", "FILE is required"},
      {"UnknownReportKind", "report sideways cutout-report.json", "", 2, "", "sideways"},
      {"UserWithoutDevice", "--user bob demo", "", 2, "", "--user requires --device"},
      {"TimeOutZero", "--timeout-ms 0 demo", "", 2, "", "--timeout-ms"},
      {"UnreadableFile", "set-cutout /nonexistent/layers.json", "", 2, "",
       "cannot read /nonexistent/layers.json: No such file"},
      {"DirectoryForAFile", "assess /", "", 2, "", "cannot read /: is a directory"},
      {"ObjectForAList", "set-cutout object.json", "", 2, "",
       "not a JSON array of layer cutouts: error at line :0 col :1 msg:array must start with [."},
      {"TruncatedList", "assess truncated.json", "", 2, "", "not a JSON array of layer cutouts"},
      {"ProseForAReport", "report cursor prose.json", "", 2, "", "not a device report"},
      {"PluginMissing", "--plugin /nonexistent/liblayercutoutmodel.so.1 " + kCursorAt1, "", 2, "",
       "cannot load the plug-in: cannot load plug-in /nonexistent/liblayercutoutmodel.so.1"},
      {"PluginWithoutEntryPoint", "--plugin libm.so.6 " + kCursorAt1, "", 2, "",
       "cannot load the plug-in: plug-in libm.so.6 lacks entry point pluginfo"},
      {"DeviceUrlWithQuery", "--device http://device/?x=1 demo", "", 2, "",
       "--device \"http://device/?x=1\" has a query: give http or https, a host, an optional port and path prefix"},
      {"DeviceUrlWithFragment", "--device http://device/#top demo", "", 2, "", "#top\" has a fragment"},
      {"DeviceUrlEmpty", "--device '' demo", "", 2, "", "\"\" is empty"},
      {"DeviceUrlWithoutHost", "--device http:// demo", "", 2, "", "\"http://\" is not a URL with scheme and host"},
      {"DeviceUrlOfAnotherScheme", "--device ftp://device demo", "", 2, "", "is neither http nor https"},
      {"Demo", "demo", "", 0,
       "answer 1: the device accepted both layers|(1800, 540): R 0 G 0 B 0 (black)|layer 2: state 0, interfaces 3, 4|"
       "event 0xfc08040e with the changed settings|event 0xfc08040f: layer 2, cursor on at (900, 300)|"
       "demo: 6 of 6 steps succeeded",
       ""},
      {"DemoUnanswered", "demo " + kNobody, "", 1, "demo: 2 of 6 steps succeeded|", "lcd-host: 4 demo steps failed"},
      {"WatchUnanswered", kNobody + "watch --seconds 20", "", 1, "",
       "no reports: the device at http://127.0.0.1:1 did not answer (refused)"},
      {"Help", "--help", "", 0, "Usage: | [OPTIONS] [SUBCOMMAND]|", ""},
  };
  for (const std::string command : {"set-cutout", "read-color", "assess", "report", "demo", "watch"})
    all.push_back({"HelpOf_" + command.substr(0, command.find('-')), command + " --help", "", 0,
                   "Usage: | " + command + " [OPTIONS]|", ""});
  return all;
}

class LcdHost : public testing::TestWithParam<CommandLine> {};

TEST_P(LcdHost, EndsAsItShould) {
  const CommandLine& c = GetParam();
  ScratchDir dir;
  for (const auto& [name, text] : kFiles) dir.write(name, text);
  std::vector<std::string> arguments;
  std::istringstream words(c.args);
  for (std::string word; words >> word;)
    arguments.push_back(kFiles.count(word) ? (dir.path() / word).string() : word == "''" ? "" : word);
  const ProcessResult result = runLcdHost(arguments, c.stdinFile.empty() ? "" : kFiles.at(c.stdinFile));
  EXPECT_EQ(result.exitCode, c.exit) << result.err;
  if (c.out.find('|') == std::string::npos) {
    EXPECT_EQ(result.out, c.out.empty() ? "" : c.out + "\n");
  } else {
    std::istringstream parts(c.out);
    for (std::string part; std::getline(parts, part, '|');) EXPECT_NE(result.out.find(part), std::string::npos) << part;
  }
  if (c.exit == 0) {
    EXPECT_EQ(result.err, "");
    return;
  }
  const std::string reason = result.err.substr(result.err.find_last_of('\n', result.err.size() - 2) + 1);
  EXPECT_EQ(reason.rfind("lcd-host: ", 0), 0u) << result.err;
  EXPECT_NE(reason.find(c.err), std::string::npos) << result.err;
  if (c.exit == 2) {
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  }
}
INSTANTIATE_TEST_SUITE_P(Tools, LcdHost, testing::ValuesIn(runs()), [](const auto& info) { return info.param.name; });

}  // namespace
