#pragma once

#include <cstdlib>
#include <regex>
#include <string>

// What the fuzzers accept: a failed decode must have the codec's positioned
// form, with a message after it.
namespace fuzz {

inline void require(bool holds) {
  if (!holds) std::abort();
}

inline bool is_positioned_error(const std::string& error) {
  static const std::regex form("error at line :[0-9]+ col :[0-9]+ msg:.+");
  return std::regex_match(error, form);
}

}  // namespace fuzz
