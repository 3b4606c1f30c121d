#pragma once

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

// The fuzzers accept a failed decode only if its text has the codec's
// positioned form and one of the codec's own messages.
namespace fuzz {

inline bool skip_digits(const char*& p) {
  const char* start = p;
  while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
  return p != start;
}

inline bool skip_literal(const char*& p, const char* literal) {
  const std::size_t n = std::strlen(literal);
  if (std::strncmp(p, literal, n) != 0) return false;
  p += n;
  return true;
}

inline bool is_codec_message(const char* text) {
  static const char* const messages[] = {
      "not a valid quote string!",
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
      "no valid array!",
  };
  for (const char* m : messages) {
    if (std::strcmp(text, m) == 0) return true;
  }
  return false;
}

inline bool is_positioned_error(const std::string& error) {
  const char* p = error.c_str();
  return skip_literal(p, "error at line :") && skip_digits(p) && skip_literal(p, " col :") && skip_digits(p) &&
         skip_literal(p, " msg:") && is_codec_message(p);
}

inline void require_positioned_error(const std::string& error) {
  if (!is_positioned_error(error)) std::abort();
}

}  // namespace fuzz
