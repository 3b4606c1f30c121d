#pragma once

#include <cstddef>

namespace ajson {
namespace detail {

// Printable ASCII that needs no escape: the common case, which write_str copies
// in bulk between the quotes.
inline bool is_plain_json_char(char c) { return c >= 32 && c <= 126 && c != '"' && c != '\\'; }

}  // namespace detail

// Compact JSON writer over a byte stream. Strings are written as pure ASCII:
// printable characters as they are, everything else as an escape.
template <typename Stream>
class lite_write {
 public:
  explicit lite_write(Stream& stream) : stream_(&stream) {}

  void putc(char c) { stream_->put(c); }
  void write_bytes(const char* bytes, std::size_t n) { stream_->write(bytes, n); }

  // See ajson_string_stream::append.
  template <std::size_t MaxSize, typename Fill>
  void append(Fill&& fill) {
    stream_->template append<MaxSize>(fill);
  }

  // Writes s as a quoted JSON string. A NUL ends the content early; input that
  // is not valid UTF-8 is cut at the first bad byte.
  void write_str(const char* s, std::size_t len) {
    static const char* const hex_table = "0123456789ABCDEF";
    putc('"');
    unsigned char state = 0;
    unsigned int codepoint = 0;
    std::size_t i = 0;
    while (i < len && s[i] != '\0') {
      if (state == 0 && is_plain(s[i])) {
        i = write_plain_run(s, i, len);
        continue;
      }
      decode(state, codepoint, static_cast<unsigned char>(s[i]));
      if (state == 1) break;
      if (state == 0) write_code_point(codepoint, hex_table);
      ++i;
    }
    putc('"');
  }

  // One step of Bjoern Hoehrmann's table-driven UTF-8 decoder: state 0 means a
  // code point is complete, state 1 means the input is rejected for good.
  static void decode(unsigned char& state, unsigned int& codepoint, unsigned char byte) {
    // One row of sixteen per line.
    // clang-format off
    static constexpr unsigned char utf8d[400] = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x00
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x10
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x20
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x30
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x40
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x50
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x60
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x70
        1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0x80
        9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,  // 0x90
        7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,  // 0xA0
        7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,  // 0xB0
        8, 8, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 0xC0
        2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 0xD0
        10, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 3, 3,  // 0xE0
        11, 6, 6, 6, 5, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,  // 0xF0
        0, 1, 2, 3, 5, 8, 7, 1, 1, 1, 4, 6, 1, 1, 1, 1,  // state 0
        1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // state 1
        1, 0, 1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1,  // state 2
        1, 2, 1, 1, 1, 1, 1, 2, 1, 2, 1, 1, 1, 1, 1, 1,  // state 3
        1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1,  // state 4
        1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1,  // state 5
        1, 1, 1, 1, 1, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1,  // state 6
        1, 3, 1, 1, 1, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1,  // state 7
        1, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // state 8
    };
    // clang-format on
    const unsigned char type = utf8d[byte];
    codepoint = state != 0 ? (byte & 0x3Fu) | (codepoint << 6) : (0xFFu >> type) & byte;
    state = utf8d[256 + state * 16 + type];
  }

 private:
  static bool is_plain(char c) { return detail::is_plain_json_char(c); }

  std::size_t write_plain_run(const char* s, std::size_t begin, std::size_t len) {
    std::size_t end = begin + 1;
    while (end < len && is_plain(s[end])) ++end;
    write_bytes(s + begin, end - begin);
    return end;
  }

  void write_code_point(unsigned int cp, const char* hex_table) {
    switch (cp) {
      case '"': write_bytes("\\\"", 2); return;
      case '\\': write_bytes("\\\\", 2); return;
      case '\b': write_bytes("\\b", 2); return;
      case '\t': write_bytes("\\t", 2); return;
      case '\n': write_bytes("\\n", 2); return;
      case '\f': write_bytes("\\f", 2); return;
      case '\r': write_bytes("\\r", 2); return;
      default: break;
    }
    if (cp >= 32 && cp <= 126) {
      putc(static_cast<char>(cp));
    } else if (cp <= 0xFFFF) {
      write_u_escape(cp, hex_table);
    } else {
      const unsigned int offset = cp - 0x10000;
      write_u_escape(0xD800 + (offset >> 10), hex_table);
      write_u_escape(0xDC00 + (offset & 0x3FF), hex_table);
    }
  }

  void write_u_escape(unsigned int unit, const char* hex_table) {
    const char escape[6] = {'\\',
                            'u',
                            hex_table[(unit >> 12) & 0xF],
                            hex_table[(unit >> 8) & 0xF],
                            hex_table[(unit >> 4) & 0xF],
                            hex_table[unit & 0xF]};
    write_bytes(escape, sizeof escape);
  }

  Stream* stream_;
};

}  // namespace ajson
