#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Writes the code point as UTF-8 at out; returns the end of what it wrote.
inline char* put_utf8(char* out, unsigned code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

// The character that a two-character escape stands for, or 0 when the
// character after the backslash starts no such escape.
inline char simple_escape(char c) {
  switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '/': return '/';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return 0;
  }
}

// How many of the eight bytes at p come before the first backslash (8 when
// there is none): the lowest zero byte of p XOR eight backslashes, found with
// the usual carry trick, which is exact for the lowest zero byte.
inline unsigned bytes_before_backslash(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  word = __builtin_bswap64(word);  // the first byte in the lowest bits, as below
#endif
  const std::uint64_t x = word ^ 0x5C5C5C5C5C5C5C5Cull;
  const std::uint64_t zeros = (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
  return zeros == 0 ? 8 : static_cast<unsigned>(__builtin_ctzll(zeros)) / 8;
}

// Decodes text[0, len) to out, which has room for len bytes (no escape is
// shorter than what it stands for). Sets end to the end of the output, also
// when it stops at a bad escape, and returns whether all of it decoded.
inline bool decode_escapes(const char* text, std::size_t len, char* out, char*& end) {
  std::size_t i = 0;
  bool decoded = true;
  while (i < len) {
    if (len - i >= 8) {
      // Eight bytes are copied whatever they hold: out trails text + i, so
      // they stay inside the room of len bytes, and those after a backslash
      // are overwritten by what follows.
      const unsigned plain = bytes_before_backslash(text + i);
      std::memcpy(out, text + i, 8);
      out += plain;
      i += plain;
      if (plain == 8) continue;
    }
    const char c = text[i];
    if (c != '\\') {
      *out++ = c;
      ++i;
      continue;
    }
    if (i + 1 >= len) {
      decoded = false;
      break;
    }
    if (text[i + 1] == 'u') {
      const long code = len - i - 2 < 4 ? -1 : hex4_value(text + i + 2);
      if (code <= 0) {
        decoded = false;
        break;
      }
      out = put_utf8(out, static_cast<unsigned>(code));
      i += 6;
      continue;
    }
    const char replacement = simple_escape(text[i + 1]);
    if (replacement == 0) {
      decoded = false;
      break;
    }
    *out++ = replacement;
    i += 2;
  }
  end = out;
  return decoded;
}

}  // namespace detail

// Decodes the escapes of a string token into out. Bytes that are not escapes
// pass unchanged; surrogate halves are encoded one by one, never combined. One
// allocation at most, of the token's length; on a bad escape out keeps what
// was decoded before it.
inline bool escape_string(std::string& out, const char* text, std::size_t len) {
  if (len == 0 || std::memchr(text, '\\', len) == nullptr) {
    out.assign(text, len);  // allocates exactly as clearing and reserving len would
    return true;
  }
  out.clear();
  out.reserve(len);
  out.resize(len);
  char* const begin = &out[0];
  char* end = begin;
  const bool decoded = detail::decode_escapes(text, len, begin, end);
  out.resize(static_cast<std::size_t>(end - begin));
  return decoded;
}

}  // namespace ajson
