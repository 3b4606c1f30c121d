#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "ajson/exception.hpp"
#include "ajson/string_ref.hpp"

namespace ajson {
namespace detail {

// What the tokenizer makes of a byte: how a token that starts with it is read,
// and whether a quoted string carries it as plain content. Plain content is
// everything but the quote, the backslash, NUL, LF and CR; take() counts each
// such byte as exactly one column.
enum token_start : unsigned char { ts_word, ts_end, ts_space, ts_quote, ts_comment, ts_control, ts_minus, ts_digit };

struct byte_classes {
  token_start start[256];
  bool plain_in_string[256];
};

constexpr token_start start_of(int c) {
  switch (c) {
    case '\0': return ts_end;
    case ' ':
    case '\t':
    case '\n':
    case '\r': return ts_space;
    case '"': return ts_quote;
    case '/': return ts_comment;
    case '{':
    case '}':
    case '[':
    case ']':
    case ',':
    case ':': return ts_control;
    case '-': return ts_minus;
    default: return c >= '0' && c <= '9' ? ts_digit : ts_word;
  }
}

constexpr byte_classes make_byte_classes() {
  byte_classes table{};
  for (int c = 0; c < 256; ++c) {
    table.start[c] = start_of(c);
    table.plain_in_string[c] = c != '"' && c != '\\' && c != '\0' && c != '\n' && c != '\r';
  }
  return table;
}

inline constexpr byte_classes byte_class_table = make_byte_classes();

inline token_start token_start_of(char c) { return byte_class_table.start[static_cast<unsigned char>(c)]; }

inline bool is_plain_string_byte(char c) { return byte_class_table.plain_in_string[static_cast<unsigned char>(c)]; }

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

  // Moves to the next character. A CR is not counted as a column; an LF starts
  // a new line whose first column is the LF itself. Called once or more per
  // token, so it is always inlined: as a call it would cost more than its body.
  [[gnu::always_inline]] void take() {
    if (at_end) return;
    ++position;
    if (position > last_readable()) {
      reach_limit();
      return;
    }
    const auto c = static_cast<unsigned char>(text[position]);
    if (c > '\r') {
      ++column;
      return;
    }
    count_low_char(c);
  }

  // A token that follows directly, as in compact text, is dispatched here:
  // control characters (half the tokens) are loaded inline, strings and
  // numbers by their own functions. Whitespace, comments, words, negative
  // numbers and the end go through load_token().
  void next() {
    token.negative = false;
    if (!at_end) {
      switch (detail::token_start_of(current())) {
        case detail::ts_control: load_control_token(); return;
        case detail::ts_quote: load_quoted_string(); return;
        case detail::ts_digit: load_unsigned_number(); return;
        default: break;
      }
    }
    load_token();
  }

  // Scans a number whose first character (the sign or first digit) next() has
  // classified. Accumulates while scanning; the sign is applied by the readers.
  void parser_number() {
    const std::uint64_t start = position;
    if (!take_integer_digits() && !at_end && continues_number(current())) scan_number_tail();
    token.text = {text + start, position - start};
  }

  // Loads the next token as next() does and returns whether it is the quoted
  // string whose text is name. When it is, the name is compared with the text
  // rather than scanned; name consists of plain string content, so the walk is
  // the same: one position and one column per character up to the closing
  // quote, which lies before the limit, and take() past it.
  bool next_if_quoted(const detail::string_ref& name) {
    if (at_end || current() != '"' || name.len >= last_readable() - position || !quoted_here(name)) {
      next_out_of_line();
      return false;
    }
    token.negative = false;
    token.kind = tk_string;
    token.text = {text + position + 1, name.len};
    position += name.len + 1;
    column += name.len + 1;
    take();
    return true;
  }

  // Loads the next token as next() does; when that is the control character c
  // right at the current position, loads it without dispatching and returns
  // true.
  bool next_is_control(char c) {
    if (at_end || current() != c) {
      next_out_of_line();
      return is_control(c);
    }
    token.negative = false;
    load_control_token();
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
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }

  // After the digits of an integer: what makes the number go on.
  static bool continues_number(char c) { return c == '.' || c == 'e' || c == 'E'; }

  char current() const { return text[position]; }

  // The last position take() may step onto; a limit of 0 wraps to the largest
  // value, which is "no limit" without a separate test.
  std::uint64_t last_readable() const { return limit - 1; }

  // Without a limit (0, or the largest value, which no position reaches) only
  // the NUL ends the text.
  bool unlimited() const { return last_readable() >= UINT64_MAX - 1; }

  // The rest of take() for the characters up to CR, the only ones that do not
  // simply count one column, and for stepping onto the limit. Both rare.
  [[gnu::noinline]] void reach_limit() {
    at_end = true;
    ++column;
  }

  [[gnu::noinline]] void count_low_char(unsigned char c) {
    if (c == '\r') return;
    ++column;
    if (c == '\0') {
      at_end = true;
    } else if (c == '\n') {
      ++line;
      column = 0;
    }
  }

  // The token loaders with tight loops (digits, string content) start on a
  // cache line: how their loops fall across line boundaries changed their
  // speed by up to 15% from one binary to the next.
  [[gnu::noinline, gnu::aligned(64)]] void load_unsigned_number() {
    token.kind = tk_unsigned;
    token.value.u64 = static_cast<std::uint64_t>(current() - '0');
    parser_number();
  }

  // next() for the unexpected case of a function whose expected case is
  // short: as a call, it keeps that case free of next()'s register needs.
  [[gnu::noinline]] void next_out_of_line() { next(); }

  // Whether the quote at the current position is followed by name and a
  // closing quote. strncmp stops at the first difference and at a NUL, so the
  // text is not compared beyond its end.
  bool quoted_here(const detail::string_ref& name) const {
    const char* content = text + position + 1;
    return std::strncmp(content, name.str, name.len) == 0 && content[name.len] == '"';
  }

  void load_control_token() {
    token.kind = tk_control;
    token.text = {text + position, 1};
    take();
  }

  // The general case: whitespace and comments before the token, then any
  // token; words, negative numbers and the end only come this way. Kept out of
  // line so that next() stays small enough for its fast paths to be cheap.
  [[gnu::noinline]] void load_token() {
    for (;;) {
      token.negative = false;
      if (at_end) {
        load_end_token();
        return;
      }
      const char c = current();
      switch (detail::token_start_of(c)) {
        case detail::ts_control: load_control_token(); return;
        case detail::ts_quote: load_quoted_string(); return;
        case detail::ts_digit: load_unsigned_number(); return;
        case detail::ts_minus:
          token.kind = tk_signed;
          token.value.u64 = 0;
          token.negative = true;
          parser_number();
          return;
        case detail::ts_space: take(); continue;
        case detail::ts_comment: skip_comment(); continue;
        case detail::ts_end: load_end_token(); return;
        case detail::ts_word: load_word(); return;
      }
    }
  }

  // Steps over the characters after the current one while they are ordinary
  // string content (not a quote, backslash, NUL, LF or CR) and before the limit.
  // For such a character take() does nothing but count one position and one
  // column, so the run is counted at once.
  void skip_string_content_run() {
    std::uint64_t p = position;
    if (unlimited()) {
      while (detail::is_plain_string_byte(text[p + 1])) ++p;
    } else {
      const std::uint64_t last = last_readable();
      while (p < last && detail::is_plain_string_byte(text[p + 1])) ++p;
    }
    column += p - position;
    position = p;
  }

  // Takes the current character (the sign or the first digit) and the run of
  // digits after it, accumulating them into the integer value. Stepping onto a
  // digit before the limit counts one position and one column, as take()
  // would. So the number's tail meets digits only after a "." has made it
  // real. Returns true when the number ends there for certain: the character
  // after the digits lies before the limit, counts one column and neither
  // "." nor an exponent follows; the reader then stands on it. Otherwise
  // take() steps onto that character and the caller looks at it.
  bool take_integer_digits() {
    const std::uint64_t last = unlimited() ? UINT64_MAX : last_readable();
    std::uint64_t value = token.value.u64;
    std::uint64_t p = position;
    while (p < last && is_digit(text[p + 1])) {
      value = value * 10 + static_cast<unsigned>(text[p + 1] - '0');  // wraps silently, by design
      ++p;
    }
    token.value.u64 = value;
    if (p < last && ends_number_plainly(text[p + 1])) {
      column += p + 1 - position;
      position = p + 1;
      return true;
    }
    column += p - position;
    position = p;
    take();
    return false;
  }

  // After the digits of an integer: a character that ends the number and that
  // take() counts as one column.
  static bool ends_number_plainly(char c) { return static_cast<unsigned char>(c) > '\r' && !continues_number(c); }

  // Fraction digits, the "." that starts them and the exponent.
  void scan_number_tail() {
    while (!at_end) {
      const char c = current();
      if (is_digit(c)) {
        add_fraction_digit(static_cast<unsigned>(c - '0'));
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
        return;
      } else {
        return;
      }
    }
  }

  void load_end_token() {
    token.kind = tk_end;
    token.text = {text + position, 1};
    token.negative = false;
  }

  // The plain run right after the opening quote is counted at once; a string
  // that holds nothing else ends right there.
  [[gnu::noinline, gnu::aligned(64)]] void load_quoted_string() {
    token.kind = tk_string;
    const std::uint64_t start = position + 1;
    skip_string_content_run();
    take();
    if (at_end) error("not a valid quote string!");
    if (current() == '"') {
      token.text = {text + start, position - start};
      take();
      return;
    }
    load_quoted_string_rest(start);
  }

  // Escapes, CR and the faults. The character after a backslash is taken
  // whatever it is; from there, as from a CR, the plain run that follows is
  // counted at once.
  [[gnu::aligned(64)]] void load_quoted_string_rest(std::uint64_t start) {
    for (;;) {
      const char c = current();
      if (c == '"') {
        token.text = {text + start, position - start};
        take();
        return;
      }
      if (c == '\\' && position < last_readable() && static_cast<unsigned char>(text[position + 1]) > '\r') {
        ++position;  // onto the escaped character: take() would count just one column
        ++column;
      } else {
        if (c == '\0' || c == '\n') error("not a valid quote string!");
        if (c == '\\') {
          take();
          if (at_end) error("not a valid quote string!");
        }
      }
      skip_string_content_run();
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
      case '}': return true;
      default: return false;
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

  void add_fraction_digit(unsigned digit) {
    token.value.d64 += fraction_scale * digit;
    fraction_scale *= 0.1;
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
