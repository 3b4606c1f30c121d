#pragma once

#include <cstdint>
#include <limits>

#include "ajson/string_ref.hpp"

namespace ajson {
namespace detail {

// Integer values of string tokens. The conversions follow strtoll/strtoull in
// base 10 (leading C whitespace, optional sign, saturation on overflow) but stop
// at the token's end, since token texts are not NUL-terminated.

inline bool is_c_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool spells_true(const string_ref& s) {
  if (s.len != 4) return false;
  const char* t = "true";
  for (int i = 0; i < 4; ++i) {
    if ((s.str[i] | 0x20) != t[i]) return false;
  }
  return true;
}

struct text_digits {
  bool negative;
  bool overflow;
  std::uint64_t magnitude;
};

inline text_digits scan_text_digits(const string_ref& s, std::uint64_t positive_max, std::uint64_t negative_max) {
  std::size_t i = 0;
  while (i < s.len && is_c_space(s.str[i])) ++i;
  text_digits result{false, false, 0};
  if (i < s.len && (s.str[i] == '+' || s.str[i] == '-')) {
    result.negative = s.str[i] == '-';
    ++i;
  }
  const std::uint64_t max = result.negative ? negative_max : positive_max;
  for (; i < s.len && s.str[i] >= '0' && s.str[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(s.str[i] - '0');
    if (result.magnitude > (max - digit) / 10) {
      result.overflow = true;
    } else if (!result.overflow) {
      result.magnitude = result.magnitude * 10 + digit;
    }
  }
  return result;
}

inline std::int64_t text_to_int64(const string_ref& s) {
  constexpr std::uint64_t int64_max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  const text_digits d = scan_text_digits(s, int64_max, int64_max + 1);
  if (d.overflow)
    return d.negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(d.negative ? 0 - d.magnitude : d.magnitude);
}

inline std::uint64_t text_to_uint64(const string_ref& s) {
  constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  const text_digits d = scan_text_digits(s, max, max);
  if (d.overflow) return max;
  return d.negative ? 0 - d.magnitude : d.magnitude;
}

}  // namespace detail
}  // namespace ajson
