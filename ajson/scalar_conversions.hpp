#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "ajson/reader.hpp"
#include "ajson/text_number.hpp"

namespace ajson {
namespace detail {

inline std::int32_t saturate_to_int32(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (d <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(d);
}

inline std::uint32_t saturate_to_uint32(double d) {
  if (std::isnan(d) || d <= 0.0) return 0;
  if (d >= 4294967295.0) return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(d);
}

inline std::int32_t negate_wrapping(std::int32_t v) {
  return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
}

inline std::int32_t token_to_int32(const reader& rd) {
  const json_token& t = rd.token;
  switch (t.kind) {
    case tk_unsigned: return static_cast<std::int32_t>(static_cast<std::uint32_t>(t.value.u64));
    case tk_signed: {
      const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(t.value.u64));
      return t.negative ? negate_wrapping(low) : low;
    }
    case tk_real: {
      const std::int32_t truncated = saturate_to_int32(t.value.d64);
      return t.negative ? negate_wrapping(truncated) : truncated;
    }
    case tk_string:
      if (spells_true(t.text)) return 1;
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(text_to_int64(t.text)));
    default: rd.error("not a valid signed integral like number.");
  }
}

// Unsigned members of any width: the value read is kept to the member's low bits.
template <typename Unsigned>
Unsigned token_to_unsigned(const reader& rd) {
  const json_token& t = rd.token;
  switch (t.kind) {
    case tk_unsigned: return static_cast<Unsigned>(t.value.u64);
    case tk_signed: rd.error("assign a negative signed integral to unsigned integral number.");
    case tk_real:
      if (t.negative) rd.error("assign a negative float point to unsigned integral number.");
      return static_cast<Unsigned>(saturate_to_uint32(t.value.d64));
    case tk_string:
      if (spells_true(t.text)) return 1;
      return static_cast<Unsigned>(text_to_uint64(t.text));
    default: rd.error("not a valid unsigned integral like number.");
  }
}

}  // namespace detail
}  // namespace ajson
