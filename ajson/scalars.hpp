#pragma once

#include <cstdint>
#include <string>

#include "ajson/escape.hpp"
#include "ajson/json_impl.hpp"
#include "ajson/reader.hpp"
#include "ajson/scalar_conversions.hpp"

namespace ajson {
namespace detail {

// Formats the decimal digits of v, with a leading "-" when negative, into the
// tail of buf; returns where they start. The magnitude is taken in 64 bits so
// that the most negative value is written in full.
inline char* format_decimal(std::int64_t v, char* buf_end) {
  std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  char* p = buf_end;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (v < 0) *--p = '-';
  return p;
}

template <typename Writer>
void write_decimal(Writer& wr, std::int64_t v) {
  char buf[24];
  char* const end = buf + sizeof buf;
  const char* begin = format_decimal(v, end);
  wr.write_bytes(begin, static_cast<std::size_t>(end - begin));
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
  static void read(reader& rd, int& v) {
    v = detail::token_to_int32(rd);
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
