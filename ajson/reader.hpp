#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "ajson/exception.hpp"
#include "ajson/string_ref.hpp"

namespace ajson {
namespace detail {

// What the tokenizer makes of a byte that starts a token.
enum token_start : unsigned char { ts_word, ts_end, ts_space, ts_quote, ts_comment, ts_control, ts_minus, ts_digit };

// The tokenizer's whitespace, and the characters that end an unquoted word.
constexpr bool is_token_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
constexpr bool is_control_char(int c) { return c == '{' || c == '}' || c == '[' || c == ']' || c == ',' || c == ':'; }

constexpr token_start start_of(int c) {
  if (c == '\0') return ts_end;
  if (is_token_space(c)) return ts_space;
  if (is_control_char(c)) return ts_control;
  if (c == '"') return ts_quote;
  if (c == '/') return ts_comment;
  if (c == '-') return ts_minus;
  return c >= '0' && c <= '9' ? ts_digit : ts_word;
}

// Plain content of a quoted string: every byte but the quote, the backslash,
// NUL, LF and CR. Each counts exactly one column.
constexpr bool is_plain_content(int c) { return c != '"' && c != '\\' && c != '\0' && c != '\n' && c != '\r'; }

// The tokenizer's classes of every byte, in one table: the token start in the
// low bits, and whether the byte is plain string content.
constexpr unsigned char plain_content_bit = 0x80;

struct byte_classes {
  unsigned char of[256];
};

constexpr byte_classes make_byte_classes() {
  byte_classes table{};
  for (int c = 0; c < 256; ++c)
    table.of[c] = static_cast<unsigned char>(start_of(c) | (is_plain_content(c) ? plain_content_bit : 0));
  return table;
}

inline constexpr byte_classes byte_class_table = make_byte_classes();

inline unsigned char byte_class(char c) { return byte_class_table.of[static_cast<unsigned char>(c)]; }

inline token_start token_start_of(char c) {
  return static_cast<token_start>(byte_class(c) & static_cast<unsigned char>(~plain_content_bit));
}

inline bool is_plain_string_byte(char c) { return (byte_class(c) & plain_content_bit) != 0; }

inline bool ends_word(char c) {
  const token_start start = token_start_of(c);
  return start == ts_space || start == ts_control;
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace detail

enum token_kind : std::int32_t { tk_string, tk_signed, tk_unsigned, tk_real, tk_control, tk_end };

struct json_token {
  detail::string_ref text;
  token_kind kind;
  union {
    std::int64_t i64;
    std::uint64_t u64;
    double d64;
  } value;
  bool negative;
};

// Pull tokenizer over a NUL-terminated text. Tokens point into the input; the
// line and column counters are kept while advancing so that every fault can
// name its position.
struct reader {
  json_token token;
  std::uint64_t column;
  std::uint64_t line;
  std::uint64_t limit;  // bytes that may be read; 0 means up to the NUL
  std::uint64_t position;
  bool at_end;
  const char* text;
  double fraction_scale;
  std::int32_t exponent_acc;

  reader(const char* input, std::size_t byte_limit)
      : token{{input, 0}, tk_end, {0}, false},
        column(0),
        line(0),
        limit(byte_limit),
        position(0),
        at_end(input == nullptr || input[0] == '\0'),
        text(input),
        fraction_scale(0.1),
        exponent_acc(0) {}

  void take() {
    if (!at_end) advance(1);
  }

  // Control characters, half the tokens of compact text, are loaded here;
  // everything else goes through the dispatch.
  void next() {
    token.negative = false;
    if (at_end) return load_end_token();
    const detail::token_start start = detail::token_start_of(current());
    if (start == detail::ts_control) return load_control_token();
    load_token(start);
  }

  // Scans a number whose first character (the sign or first digit) next() has
  // classified. Accumulates while scanning; the sign is applied by the readers.
  // The two loaders with loops over the text are kept apart and start on a
  // cache line (docs/performance.md has what that is worth).
  [[gnu::noinline, gnu::aligned(64)]] void parser_number() {
    const std::uint64_t start = position;
    take_integer_digits();
    if (!at_end && (current() == '.' || current() == 'e' || current() == 'E')) scan_number_tail();
    token.text = {text + start, position - start};
  }

  // Loads the next token as next() does and returns whether it is the quoted
  // string whose text is name. name is plain string content, so comparing it
  // walks the text exactly as scanning it would.
  bool next_if_quoted(const detail::string_ref& name) {
    if (at_end || current() != '"' || name.len >= last_readable() - position || !quoted_here(name)) {
      next();
      return false;
    }
    token.negative = false;
    token.kind = tk_string;
    token.text = {text + position + 1, name.len};
    advance(name.len + 2);
    return true;
  }

  [[noreturn]] void error(const char* msg) const {
    std::string message = "error at line :";
    message += std::to_string(line);
    message += " col :";
    message += std::to_string(column);
    message += " msg:";
    message += msg;
    throw exception(message);
  }

  bool is_control(char c) const { return token.kind == tk_control && token.text.str[0] == c; }

 private:
  char current() const { return text[position]; }

  // The last position the reader may stand on; a limit of 0 wraps to the
  // largest value, which no position reaches.
  std::uint64_t last_readable() const { return limit - 1; }

  // How position, line and column move, in one place. Moves steps characters
  // on from a position before the end: the caller has seen that all but the
  // last lie before the limit and count one column each (anything above CR
  // does). The last step ends the text on the limit or on a NUL; a CR counts
  // no column, and an LF starts a new line on which it is column 0.
  void advance(std::uint64_t steps) {
    position += steps;
    if (position > last_readable()) {
      at_end = true;
      column += steps;
      return;
    }
    const auto c = static_cast<unsigned char>(current());
    if (c > '\r') {
      column += steps;
      return;
    }
    column += steps - 1;
    if (c == '\r') return;
    ++column;
    if (c == '\0') {
      at_end = true;
    } else if (c == '\n') {
      ++line;
      column = 0;
    }
  }

  // How many characters after the current one a quoted string passes over at
  // one column each, before the limit: plain content, and escapes whose
  // escaped character is above CR.
  std::uint64_t content_run() const {
    std::uint64_t p = position;
    for (;;) {
      if (p < last_readable() && detail::is_plain_string_byte(text[p + 1])) {
        ++p;
      } else if (p + 1 < last_readable() && text[p + 1] == '\\' && static_cast<unsigned char>(text[p + 2]) > '\r') {
        p += 2;
      } else {
        return p - position;
      }
    }
  }

  // The token that starts with a character of class start, after any
  // whitespace and comments.
  void load_token(detail::token_start start) {
    for (;;) {
      switch (start) {
        case detail::ts_control: return load_control_token();
        case detail::ts_quote: return load_quoted_string();
        case detail::ts_digit: return load_number(tk_unsigned, static_cast<std::uint64_t>(current() - '0'));
        case detail::ts_minus: token.negative = true; return load_number(tk_signed, 0);
        case detail::ts_word: return load_word();
        case detail::ts_end: return load_end_token();
        case detail::ts_space: take(); break;
        case detail::ts_comment: skip_comment(); break;
      }
      if (at_end) return load_end_token();
      start = detail::token_start_of(current());
    }
  }

  void load_control_token() {
    token.kind = tk_control;
    token.text = {text + position, 1};
    take();
  }

  void load_end_token() {
    token.kind = tk_end;
    token.text = {text + position, 1};
    token.negative = false;
  }

  void load_number(token_kind kind, std::uint64_t first_digit) {
    token.kind = kind;
    token.value.u64 = first_digit;
    parser_number();
  }

  // Takes the current character (the sign or the first digit) and the digits
  // after it, accumulating them into the integer value.
  void take_integer_digits() {
    std::uint64_t value = token.value.u64;
    std::uint64_t p = position;
    while (p < last_readable() && detail::is_digit(text[p + 1])) {
      value = value * 10 + static_cast<unsigned>(text[p + 1] - '0');  // wraps silently, by design
      ++p;
    }
    token.value.u64 = value;
    advance(p - position + 1);
  }

  // Fraction digits, the "." that starts them and the exponent.
  void scan_number_tail() {
    while (!at_end) {
      const char c = current();
      if (detail::is_digit(c)) {
        token.value.d64 += fraction_scale * static_cast<unsigned>(c - '0');
        fraction_scale *= 0.1;
      } else if (c == '.') {
        if (token.kind == tk_real) error("not a valid number!");
        convert_to_real();
        fraction_scale = 0.1;
      } else if (c == 'e' || c == 'E') {
        if (token.kind != tk_real) convert_to_real();
        take();
        scan_exponent();
        return;
      } else {
        return;
      }
      take();
    }
  }

  void convert_to_real() {
    token.value.d64 =
        token.kind == tk_signed ? static_cast<double>(token.value.i64) : static_cast<double>(token.value.u64);
    token.kind = tk_real;
  }

  void scan_exponent() {
    if (!at_end && current() == '-') {
      take();
      accumulate_exponent();
      apply_exponent(0.1);
    } else if (!at_end && detail::is_digit(current())) {
      accumulate_exponent();
      apply_exponent(10.0);
    }
    exponent_acc = 0;
  }

  void accumulate_exponent() {
    while (!at_end && detail::is_digit(current())) {
      const auto digit = static_cast<std::uint32_t>(current() - '0');
      exponent_acc = static_cast<std::int32_t>(static_cast<std::uint32_t>(exponent_acc) * 10u + digit);
      take();
    }
  }

  // Repeated multiplication; once the value stops changing (zero or infinity)
  // further steps cannot change it, so a huge exponent costs no more than a few
  // hundred steps.
  void apply_exponent(double factor) {
    double& value = token.value.d64;
    for (std::int32_t i = 0; i < exponent_acc; ++i) {
      const double scaled = value * factor;
      if (scaled == value || std::isnan(scaled)) break;
      value = scaled;
    }
  }

  // Each pass steps over a run of content and onto the character after it.
  // A backslash makes the reader step onto the character it escapes, whatever
  // that is; that character, like a CR, is content.
  [[gnu::noinline, gnu::aligned(64)]] void load_quoted_string() {
    token.kind = tk_string;
    const std::uint64_t start = position + 1;
    for (;;) {
      advance(content_run() + 1);
      if (at_end) error("not a valid quote string!");
      const char c = current();
      if (c == '"') break;
      if (c == '\0' || c == '\n') error("not a valid quote string!");
      if (c == '\\') {
        take();
        if (at_end) error("not a valid quote string!");
      }
    }
    token.text = {text + start, position - start};
    take();
  }

  // Whether the quote at the current position is followed by name and a
  // closing quote. strncmp stops at the first difference and at a NUL, so the
  // text is not compared beyond its end.
  bool quoted_here(const detail::string_ref& name) const {
    const char* content = text + position + 1;
    return std::strncmp(content, name.str, name.len) == 0 && content[name.len] == '"';
  }

  // An unquoted word is a string token; the text must go on after it.
  void load_word() {
    token.kind = tk_string;
    const std::uint64_t start = position;
    do {
      take();
      if (at_end) error("not a valid string!");
    } while (!detail::ends_word(current()));
    token.text = {text + start, position - start};
  }

  void skip_comment() {
    take();
    if (at_end) error("not a comment!");
    if (current() == '/') {
      while (!at_end && current() != '\n') take();
    } else if (current() == '*') {
      take();
      skip_block_comment_body();
    } else {
      error("not a comment!");
    }
  }

  void skip_block_comment_body() {
    while (!at_end) {
      const bool star = current() == '*';
      take();
      if (star && !at_end && current() == '/') {
        take();
        return;
      }
    }
  }
};

}  // namespace ajson
