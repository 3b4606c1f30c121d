// lcd-host run as a user runs it, against its embedded device simulator unless
// a case names another device: one table of command lines with their input
// files, exit status, standard output (all of it, or a list of parts it holds)
// and the reason on standard error (lcdhost_cases.json; "$DIR" stands for the
// directory the files are in).
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/tools/processrun.h"

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
    const nlohmann::json out = c.value("out", nlohmann::json(""));
    if (out.is_string()) {
      EXPECT_EQ(result.out, out.get<std::string>());
    }
    for (const std::string part : out.is_array() ? out : nlohmann::json::array()) {
      EXPECT_NE(result.out.find(part), std::string::npos) << part;
    }
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

}  // namespace
