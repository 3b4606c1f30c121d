#pragma once

#include <cstdint>
#include <string>

#include "ajson/escape.hpp"
#include "ajson/json_impl.hpp"
#include "ajson/reader.hpp"
#include "ajson/scalar_conversions.hpp"

namespace ajson {
namespace detail {

// Digits of magnitude, two at a time from a table of "00" to "99", into the
// tail that ends at p; returns where they start. Unsigned is 32 or 64 bits:
// 32-bit division is the cheaper one, and every member value fits it.
template <typename Unsigned>
char* format_digits(Unsigned magnitude, char* p) {
  static constexpr char pairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  while (magnitude >= 100) {
    const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
    magnitude /= 100;
    p -= 2;
    p[0] = pairs[pair];
    p[1] = pairs[pair + 1];
  }
  if (magnitude >= 10) {
    const auto pair = static_cast<std::size_t>(magnitude) * 2;
    p -= 2;
    p[0] = pairs[pair];
    p[1] = pairs[pair + 1];
  } else {
    *--p = static_cast<char>('0' + magnitude);
  }
  return p;
}

// Formats the decimal digits of v, with a leading "-" when negative, into the
// tail of buf; returns where they start. The magnitude is taken in 64 bits so
// that the most negative value is written in full.
inline char* format_decimal(std::int64_t v, char* buf_end) {
  const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  char* p = magnitude <= UINT32_MAX ? format_digits(static_cast<std::uint32_t>(magnitude), buf_end)
                                    : format_digits(magnitude, buf_end);
  if (v < 0) *--p = '-';
  return p;
}

template <typename Writer>
void write_decimal(Writer& wr, std::int64_t v) {
  char buf[24];
  char* const end = buf + sizeof buf;
  const char* begin = format_decimal(v, end);
  const auto n = static_cast<std::size_t>(end - begin);
  if (!wr.write_bytes_if_room(begin, n)) wr.write_bytes(begin, n);
}

template <typename Unsigned>
struct unsigned_impl {
  static void read(reader& rd, Unsigned& v) {
    v = token_to_unsigned<Unsigned>(rd);
    rd.next();
  }
  template <typename Writer>
  static void write(Writer& wr, const Unsigned& v) {
    write_decimal(wr, static_cast<std::int64_t>(v));
  }
};

}  // namespace detail

template <>
struct json_impl<int> {
  // A plain unsigned number, the usual case, is converted inline.
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
