#pragma once

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>

// What the fuzzers accept. A failed decode must have the codec's positioned
// form and end in one of the codec's own messages, listed in
// codec_messages.json beside this file.
namespace fuzz {

inline void require(bool holds) {
  if (!holds) std::abort();
}

inline bool is_positioned_error(const std::string& error) {
  static const std::regex form("error at line :[0-9]+ col :[0-9]+ msg:(.*)");
  static const auto messages =
      nlohmann::json::parse(std::ifstream(LCD_FUZZ_DIR "/codec_messages.json")).get<std::set<std::string>>();
  std::smatch match;
  return std::regex_match(error, match, form) && messages.count(match[1]) == 1;
}

}  // namespace fuzz
