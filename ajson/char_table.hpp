#pragma once

namespace ajson {
namespace detail {

// Classifies the characters up to 'f': 0-15 for hexadecimal digits, 17 for the
// five whitespace characters, 16 for everything else.
inline const unsigned char* char_table() {
  static constexpr unsigned char table[103] = {
      16, 16, 16, 16, 16, 16, 16, 16, 16, 17, 17, 16, 17, 17, 16, 16,  // 0x00
      16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x10
      17, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x20
      0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  16, 16, 16, 16, 16, 16,  // 0x30
      16, 10, 11, 12, 13, 14, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x40
      16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x50
      16, 10, 11, 12, 13, 14, 15,                                      // 0x60
  };
  return table;
}

constexpr unsigned char char_table_size = 103;
constexpr unsigned char whitespace_class = 17;
constexpr unsigned char max_hex_class = 15;

// Table value of any byte; bytes beyond the table count as "other".
inline unsigned char char_class(unsigned char c) { return c < char_table_size ? char_table()[c] : 16; }

}  // namespace detail
}  // namespace ajson
