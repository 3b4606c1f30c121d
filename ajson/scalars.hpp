#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "ajson/escape.hpp"
#include "ajson/json_impl.hpp"
#include "ajson/reader.hpp"
#include "ajson/scalar_conversions.hpp"

namespace ajson {
namespace detail {

// The decimal text of v, with a "-" when negative, in one append.
template <typename Writer, typename Integer>
void write_decimal(Writer& wr, Integer v) {
  char digits[std::numeric_limits<Integer>::digits10 + 2];
  const char* end = std::to_chars(digits, digits + sizeof digits, v).ptr;
  wr.write_bytes(digits, static_cast<std::size_t>(end - digits));
}

template <typename Unsigned>
struct unsigned_impl {
  static void read(reader& rd, Unsigned& v) {
    v = token_to_unsigned<Unsigned>(rd);
    rd.next();
  }
  template <typename Writer>
  static void write(Writer& wr, const Unsigned& v) {
    write_decimal(wr, v);
  }
};

}  // namespace detail

template <>
struct json_impl<int> {
  // A plain unsigned number, most members' case, without the general switch.
  static void read(reader& rd, int& v) {
    v = rd.token.kind == tk_unsigned ? static_cast<std::int32_t>(static_cast<std::uint32_t>(rd.token.value.u64))
                                     : detail::token_to_int32(rd);
    rd.next();
  }
  template <typename Writer>
  static void write(Writer& wr, const int& v) {
    detail::write_decimal(wr, v);
  }
};

template <>
struct json_impl<unsigned int> : detail::unsigned_impl<unsigned int> {};

template <>
struct json_impl<unsigned short> : detail::unsigned_impl<unsigned short> {};

template <>
struct json_impl<std::string> {
  static void read(reader& rd, std::string& v) {
    if (rd.token.kind != tk_string) rd.error("not a valid string.");
    if (!escape_string(v, rd.token.text.str, rd.token.text.len)) rd.error("not a valid string.");
    rd.next();
  }
  template <typename Writer>
  static void write(Writer& wr, const std::string& v) {
    wr.write_str(v.data(), v.size());
  }
};

}  // namespace ajson
