// lcd-host run as a user runs it, against its embedded device simulator unless
// a case names another device: one table of command lines with their input
// files, exit status, standard output and the reason on standard error
// (lcdhost_cases.json; "$DIR" stands for the directory the files are in).
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/processrun.h"
#include "tests/tools/scratchdir.h"

namespace {

std::string withDir(std::string text, const std::string& dir) {
  for (std::size_t at = text.find("$DIR"); at != std::string::npos; at = text.find("$DIR", at + dir.size())) {
    text.replace(at, 4, dir);
  }
  return text;
}

std::string lastLine(const std::string& text) {
  const std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

TEST(LcdHost, EveryCommandLineEndsAsItShould) {
  const nlohmann::json table = nlohmann::json::parse(std::ifstream(LCD_TOOLS_TEST_DIR "/lcdhost_cases.json"));
  ScratchDir dir;
  for (const auto& [name, text] : table["files"].items()) dir.write(name, text.get<std::string>());
  for (const auto& c : table["cases"]) {
    std::vector<std::string> arguments;
    for (const auto& argument : c["args"]) {
      const std::string text = withDir(argument.get<std::string>(), dir.path().string());
      const bool isFile = table["files"].contains(text);
      arguments.push_back(isFile ? (dir.path() / text).string() : text);
    }
    SCOPED_TRACE(c.dump());
    const ProcessResult result = runLcdHost(arguments, c.value("stdin", ""));
    const int exitCode = c["exit"];
    EXPECT_EQ(result.exitCode, exitCode) << result.err;
    EXPECT_EQ(result.out, c.value("out", ""));
    if (exitCode == 0) {
      EXPECT_EQ(result.err, "");
      continue;
    }
    const std::string reason = lastLine(result.err);
    EXPECT_EQ(reason.rfind("lcd-host: ", 0), 0u) << result.err;
    EXPECT_NE(reason.find(withDir(c["err"], dir.path().string())), std::string::npos) << result.err;
    if (exitCode == 2) {
      EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
  }
}

TEST(LcdHost, HelpOnEveryCommand) {
  for (const std::string command : {"", "set-cutout", "read-color", "assess", "report", "demo", "watch"}) {
    std::vector<std::string> arguments;
    if (!command.empty()) arguments.push_back(command);
    arguments.push_back("--help");
    const ProcessResult result = runLcdHost(arguments);
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_NE(result.out.find("Usage: "), std::string::npos) << command;
    EXPECT_NE(result.out.find(command.empty() ? "SUBCOMMAND" : command), std::string::npos) << result.out;
  }
}

TEST(LcdHost, DemoNarratesEveryJobAndCountsTheFailedSteps) {
  const ProcessResult result = runLcdHost({"demo"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const char* line : {"answer 1: the device accepted both layers", "(1800, 540): R 0 G 0 B 0 (black)",
                           "layer 2: state 0, interfaces 3, 4", "event 0xfc08040e with the changed settings",
                           "event 0xfc08040f: layer 2, cursor on at (900, 300)", "demo: 6 of 6 steps succeeded"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
  const ProcessResult silent = runLcdHost({"demo", "--device", "http://127.0.0.1:1"});
  EXPECT_EQ(silent.exitCode, 1);
  EXPECT_NE(silent.out.find("demo: 2 of 6 steps succeeded"), std::string::npos) << silent.out;
  EXPECT_EQ(lastLine(silent.err), "lcd-host: 4 demo steps failed");
}

}  // namespace
