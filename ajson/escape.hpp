#pragma once

#include <cstddef>
#include <string>

#include "ajson/char_table.hpp"

namespace ajson {
namespace detail {

// Value of four hexadecimal digits, or -1 when one of them is not a digit.
inline long hex4_value(const char* digits) {
  long code = 0;
  for (int i = 0; i < 4; ++i) {
    const unsigned char value = char_class(static_cast<unsigned char>(digits[i]));
    if (value > max_hex_class) return -1;
    code = code * 16 + value;
  }
  return code;
}

inline void append_utf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace detail

// Decodes the escapes of a string token into out. Bytes that are not escapes
// pass unchanged; surrogate halves are encoded one by one, never combined.
inline bool escape_string(std::string& out, const char* text, std::size_t len) {
  out.clear();
  out.reserve(len);
  std::size_t i = 0;
  while (i < len) {
    const char c = text[i];
    if (c != '\\') {
      out.push_back(c);
      ++i;
      continue;
    }
    if (i + 1 >= len) return false;
    switch (text[i + 1]) {
      case '"': out.push_back('"'); break;
      case '\\': out.push_back('\\'); break;
      case '/': out.push_back('/'); break;
      case 'b': out.push_back('\b'); break;
      case 'f': out.push_back('\f'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'u': {
        if (len - i - 2 < 4) return false;
        const long code = detail::hex4_value(text + i + 2);
        if (code <= 0) return false;
        detail::append_utf8(out, static_cast<unsigned>(code));
        i += 6;
        continue;
      }
      default:
        return false;
    }
    i += 2;
  }
  return true;
}

}  // namespace ajson
