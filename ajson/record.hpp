#pragma once

#include <charconv>
#include <cstddef>
#include <cstring>
#include <limits>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "ajson/field_list.hpp"
#include "ajson/json_impl.hpp"
#include "ajson/lite_write.hpp"
#include "ajson/reader.hpp"
#include "ajson/skip.hpp"
#include "ajson/string_ref.hpp"

namespace ajson {
namespace detail {

template <typename Member>
void read_member(reader& rd, Member& member) {
  json_impl<Member>::read(rd, member);
}

// Reads the value into the member whose position in the field list is index.
template <typename T, typename Members, std::size_t... I>
void read_member_at(reader& rd, T& object, std::size_t index, const Members& members, std::index_sequence<I...>) {
  (void)((index == I && (read_member(rd, object.*std::get<I>(members)), true)) || ...);
}

// Loads the key after "{" or ",". When keys can be expected, it is compared
// with the name expected next while it is read; returns whether it is that
// name, whose index is then the answer of find_field.
inline bool load_key(reader& rd, const std::vector<string_ref>& fields, bool keys_expected, std::size_t expected) {
  if (keys_expected && expected < fields.size()) return rd.next_if_quoted(fields[expected]);
  rd.next();
  return false;
}

template <typename T, typename Members>
void read_object(reader& rd, T& object, const std::vector<string_ref>& fields, bool keys_expected,
                 const Members& members) {
  constexpr auto member_indices = std::make_index_sequence<std::tuple_size<Members>::value>();
  if (!rd.is_control('{')) rd.error("read object must start with {!");
  std::size_t expected = 0;
  bool key_is_expected = load_key(rd, fields, keys_expected, expected);
  if (rd.is_control('}')) {
    rd.next();
    return;
  }
  for (;;) {
    if (rd.token.kind != tk_string) rd.error("object key must be string");
    const string_ref key = rd.token.text;
    rd.next();
    if (!rd.is_control(':')) rd.error("invalid json document!");
    rd.next();
    const std::size_t index = key_is_expected ? expected : find_field(fields, key);
    if (index == no_field) {
      skip(rd);
    } else {
      read_member_at(rd, object, index, members, member_indices);
    }
    if (rd.is_control('}')) {
      rd.next();
      return;
    }
    if (!rd.is_control(',')) rd.error("invalid json document!");
    expected = index == no_field ? 0 : index + 1;
    key_is_expected = load_key(rd, fields, keys_expected, expected);
  }
}

constexpr std::size_t literal_length(const char* text) {
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

// At least the length of the longest name in a field-list literal.
constexpr std::size_t longest_name(const char* text) {
  std::size_t longest = 0;
  for (std::size_t run = 0; *text != '\0'; ++text) {
    run = *text == ',' ? 0 : run + 1;
    if (run > longest) longest = run;
  }
  return longest;
}

// What is written before each member, "{" or "," then the quoted name and
// ":", kept once per record type in storage sized from the field-list literal,
// so that building it allocates nothing. The names are identifiers, which
// need no escape. Every prefix is followed by at least Longest bytes of the
// storage, so that it can be copied as a block of that fixed size.
template <std::size_t Count, std::size_t Capacity, std::size_t Longest>
class member_prefixes {
 public:
  static constexpr std::size_t longest = Longest;

  explicit member_prefixes(const std::vector<string_ref>& fields) {
    std::size_t used = 0;
    for (std::size_t i = 0; i < Count; ++i) {
      offsets_[i] = used;
      text_[used++] = i == 0 ? '{' : ',';
      text_[used++] = '"';
      for (std::size_t k = 0; k < fields[i].len; ++k) text_[used++] = fields[i].str[k];
      text_[used++] = '"';
      text_[used++] = ':';
    }
    offsets_[Count] = used;
  }

  string_ref operator[](std::size_t i) const { return {text_ + offsets_[i], offsets_[i + 1] - offsets_[i]}; }

 private:
  std::size_t offsets_[Count + 1] = {};
  char text_[Capacity + Longest] = {};
};

// The prefix, and an integer member's digits with it, in one append: a
// member costs one room check and no library call.
template <std::size_t Longest, typename Writer, typename Member>
void write_member(Writer& wr, const string_ref& prefix, const Member& member) {
  if constexpr (std::is_integral<Member>::value) {
    constexpr std::size_t digits = std::numeric_limits<Member>::digits10 + 2;
    wr.template append<Longest + digits>([&](char* p) {
      std::memcpy(p, prefix.str, Longest);
      return std::to_chars(p + prefix.len, p + prefix.len + digits, member).ptr;
    });
  } else {
    wr.template append<Longest>([&](char* p) {
      std::memcpy(p, prefix.str, Longest);
      return p + prefix.len;
    });
    json_impl<Member>::write(wr, member);
  }
}

template <typename Writer, typename T, typename Prefixes, typename Members, std::size_t... I>
void write_object(Writer& wr, const T& object, const Prefixes& prefixes, const Members& members,
                  std::index_sequence<I...>) {
  (write_member<Prefixes::longest>(wr, prefixes[I], object.*std::get<I>(members)), ...);
  wr.putc('}');
}

// Codec of a record declared with AJSON: Mapping supplies the field-list
// literal and the member pointers in the same order.
template <typename T, typename Mapping>
struct record_impl {
  static const std::vector<string_ref>& this_field_list() {
    static const std::vector<string_ref> fields = split_fields(Mapping::field_list_text());
    return fields;
  }

  static bool keys_expected() {
    static const bool expected = keys_can_be_expected(this_field_list());
    return expected;
  }

  struct json_helper {
    T& object;
    void read_(reader& rd) { read_object(rd, object, this_field_list(), keys_expected(), Mapping::members()); }
  };

  static void read(reader& rd, T& value) { json_helper{value}.read_(rd); }

  static const auto& this_member_prefixes() {
    constexpr std::size_t count = std::tuple_size<decltype(Mapping::members())>::value;
    constexpr std::size_t capacity = literal_length(Mapping::field_list_text()) + 4 * count;
    constexpr std::size_t longest = longest_name(Mapping::field_list_text()) + 4;
    static const member_prefixes<count, capacity, longest> prefixes(this_field_list());
    return prefixes;
  }

  template <typename Writer>
  static void write(Writer& wr, const T& value) {
    constexpr auto members = Mapping::members();
    write_object(wr, value, this_member_prefixes(), members,
                 std::make_index_sequence<std::tuple_size<decltype(members)>::value>());
  }
};

}  // namespace detail
}  // namespace ajson
