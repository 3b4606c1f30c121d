#pragma once

#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

#include "ajson/field_list.hpp"
#include "ajson/json_impl.hpp"
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

template <typename T, typename Members>
void read_object(reader& rd, T& object, const std::vector<string_ref>& fields, const Members& members) {
  constexpr auto member_indices = std::make_index_sequence<std::tuple_size<Members>::value>();
  if (!rd.is_control('{')) rd.error("read object must start with {!");
  rd.next();
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
    const std::size_t index = find_field(fields, key);
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
    rd.next();
  }
}

template <typename Writer, typename Member>
void write_member(Writer& wr, const string_ref& name, const Member& member, bool first) {
  if (!first) wr.putc(',');
  wr.write_str(name.str, name.len);
  wr.putc(':');
  json_impl<Member>::write(wr, member);
}

template <typename Writer, typename T, typename Members, std::size_t... I>
void write_object(Writer& wr, const T& object, const std::vector<string_ref>& fields, const Members& members,
                  std::index_sequence<I...>) {
  wr.putc('{');
  (write_member(wr, fields[I], object.*std::get<I>(members), I == 0), ...);
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

  struct json_helper {
    T& object;
    void read_(reader& rd) { read_object(rd, object, this_field_list(), Mapping::members()); }
  };

  static void read(reader& rd, T& value) { json_helper{value}.read_(rd); }

  template <typename Writer>
  static void write(Writer& wr, const T& value) {
    constexpr auto members = Mapping::members();
    write_object(wr, value, this_field_list(), members,
                 std::make_index_sequence<std::tuple_size<decltype(members)>::value>());
  }
};

}  // namespace detail
}  // namespace ajson
