#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "ajson/exception.hpp"
#include "ajson/string_ref.hpp"

namespace ajson {

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

  // Moves to the next character. A CR is not counted as a column; an LF starts
  // a new line whose first column is the LF itself.
  void take() {
    if (at_end) return;
    ++position;
    if (limit != 0 && position >= limit) {
      at_end = true;
      ++column;
      return;
    }
    const char c = text[position];
    if (c == '\r') return;
    ++column;
    if (c == '\0') {
      at_end = true;
    } else if (c == '\n') {
      ++line;
      column = 0;
    }
  }

  void next() {
    for (;;) {
      if (!skip_whitespace()) {
        load_end_token();
        return;
      }
      token.negative = false;
      const char c = current();
      switch (c) {
        case '\0':
          load_end_token();
          return;
        case '"':
          load_quoted_string();
          return;
        case '/':
          skip_comment();
          continue;
        case '{':
        case '}':
        case '[':
        case ']':
        case ',':
        case ':':
          token.kind = tk_control;
          token.text = {text + position, 1};
          take();
          return;
        case '-':
          token.kind = tk_signed;
          token.value.u64 = 0;
          token.negative = true;
          parser_number();
          return;
        default:
          if (is_digit(c)) {
            token.kind = tk_unsigned;
            token.value.u64 = static_cast<std::uint64_t>(c - '0');
            parser_number();
          } else {
            load_word();
          }
          return;
      }
    }
  }

  // Scans a number whose first character (the sign or first digit) next() has
  // classified. Accumulates while scanning; the sign is applied by the readers.
  void parser_number() {
    const std::uint64_t start = position;
    take();
    while (!at_end) {
      const char c = current();
      if (is_digit(c)) {
        add_digit(static_cast<unsigned>(c - '0'));
        take();
      } else if (c == '.') {
        if (token.kind == tk_real) error("not a valid number!");
        convert_to_real();
        fraction_scale = 0.1;
        take();
      } else if (c == 'e' || c == 'E') {
        if (token.kind != tk_real) convert_to_real();
        take();
        scan_exponent();
        break;
      } else {
        break;
      }
    }
    token.text = {text + start, position - start};
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
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }

  char current() const { return text[position]; }

  void load_end_token() {
    token.kind = tk_end;
    token.text = {text + position, 1};
    token.negative = false;
  }

  // Returns false when the input ends while skipping.
  bool skip_whitespace() {
    if (at_end) return false;
    for (;;) {
      const char c = current();
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return true;
      take();
      if (at_end) return false;
    }
  }

  void load_quoted_string() {
    token.kind = tk_string;
    take();
    if (at_end) error("not a valid quote string!");
    const std::uint64_t start = position;
    for (;;) {
      const char c = current();
      if (c == '"') {
        token.text = {text + start, position - start};
        take();
        return;
      }
      if (c == '\0' || c == '\n') error("not a valid quote string!");
      if (c == '\\') {
        take();
        if (at_end) error("not a valid quote string!");
      }
      take();
      if (at_end) error("not a valid quote string!");
    }
  }

  static bool ends_word(char c) {
    switch (c) {
      case '\t':
      case '\n':
      case '\r':
      case ' ':
      case ',':
      case ':':
      case '[':
      case ']':
      case '{':
      case '}':
        return true;
      default:
        return false;
    }
  }

  // An unquoted word is a string token; the text must go on after it.
  void load_word() {
    token.kind = tk_string;
    const std::uint64_t start = position;
    do {
      take();
      if (at_end) error("not a valid string!");
    } while (!ends_word(current()));
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
      if (current() != '*') {
        take();
        continue;
      }
      take();
      if (!at_end && current() == '/') {
        take();
        return;
      }
    }
  }

  void add_digit(unsigned digit) {
    if (token.kind == tk_real) {
      token.value.d64 += fraction_scale * digit;
      fraction_scale *= 0.1;
    } else {
      token.value.u64 = token.value.u64 * 10 + digit;  // wraps silently, by design
    }
  }

  void convert_to_real() {
    token.value.d64 = token.kind == tk_signed ? static_cast<double>(token.value.i64)
                                              : static_cast<double>(token.value.u64);
    token.kind = tk_real;
  }

  void scan_exponent() {
    if (!at_end && current() == '-') {
      take();
      accumulate_exponent();
      apply_exponent(0.1);
    } else if (!at_end && is_digit(current())) {
      accumulate_exponent();
      apply_exponent(10.0);
    }
    exponent_acc = 0;
  }

  void accumulate_exponent() {
    while (!at_end && is_digit(current())) {
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
};

}  // namespace ajson
