#pragma once

#include <cstdlib>
#include <regex>
#include <set>
#include <string>

// The fuzzers accept a failed decode only if its text has the codec's
// positioned form and ends in one of the codec's own messages.
namespace fuzz {

inline bool is_positioned_error(const std::string& error) {
  static const std::regex form("error at line :[0-9]+ col :[0-9]+ msg:(.*)");
  static const std::set<std::string> messages = {"not a valid quote string!",
                                                 "not a valid string!",
                                                 "not a comment!",
                                                 "not a valid number!",
                                                 "not a valid signed integral like number.",
                                                 "not a valid unsigned integral like number.",
                                                 "assign a negative signed integral to unsigned integral number.",
                                                 "assign a negative float point to unsigned integral number.",
                                                 "not a valid string.",
                                                 "invalid json document!",
                                                 "read object must start with {!",
                                                 "object key must be string",
                                                 "array must start with [.",
                                                 "no valid array!"};
  std::smatch match;
  return std::regex_match(error, match, form) && messages.count(match[1]) == 1;
}

inline void require_positioned_error(const std::string& error) {
  if (!is_positioned_error(error)) std::abort();
}

}  // namespace fuzz
