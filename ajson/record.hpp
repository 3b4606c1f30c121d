#pragma once

#include <cstddef>
#include <tuple>
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
    if (!rd.next_is_control(':')) rd.error("invalid json document!");
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

template <typename Writer>
void write_member_name(Writer& wr, const string_ref& name, bool first) {
  if (!first) wr.putc(',');
  wr.write_str(name.str, name.len);
  wr.putc(':');
}

constexpr std::size_t literal_length(const char* text) {
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

// What is written before each member: "{" before the first and "," before the
// others, then the quoted name and ":", so that a member costs one append for
// its name. Built once per record type from the field list, into storage sized
// at compile time from the list's literal (the names are pieces of it), so
// building it allocates nothing. Not usable when a name would be escaped or
// the list does not name every member; the record is then written piecewise.
template <std::size_t Count, std::size_t Capacity>
class member_prefixes {
 public:
  explicit member_prefixes(const std::vector<string_ref>& fields) : usable_(fields.size() == Count) {
    std::size_t used = 0;
    for (std::size_t i = 0; usable_ && i < Count; ++i) {
      offsets_[i] = used;
      usable_ = is_plain_name(fields[i]);
      if (usable_) used = append_prefix(used, fields[i], i == 0);
    }
    offsets_[Count] = used;
  }

  bool usable() const { return usable_; }

  string_ref operator[](std::size_t i) const { return {text_ + offsets_[i], offsets_[i + 1] - offsets_[i]}; }

 private:
  static bool is_plain_name(const string_ref& name) {
    for (std::size_t i = 0; i < name.len; ++i) {
      if (!is_plain_json_char(name.str[i])) return false;
    }
    return true;
  }

  std::size_t append_prefix(std::size_t used, const string_ref& name, bool first) {
    text_[used++] = first ? '{' : ',';
    text_[used++] = '"';
    for (std::size_t i = 0; i < name.len; ++i) text_[used++] = name.str[i];
    text_[used++] = '"';
    text_[used++] = ':';
    return used;
  }

  bool usable_;
  std::size_t offsets_[Count + 1] = {};
  char text_[Capacity] = {};
};

// One append for the prefix when the buffer has room for it; otherwise the
// same pieces as without prefixes, so the buffer grows where it always did.
template <typename Writer, typename Member>
void write_prefixed_member(Writer& wr, const string_ref& prefix, const string_ref& name, const Member& member,
                           bool first) {
  if (!wr.write_bytes_if_room(prefix.str, prefix.len)) {
    if (first) wr.putc('{');
    write_member_name(wr, name, first);
  }
  json_impl<Member>::write(wr, member);
}

template <typename Writer, typename Member>
void write_member(Writer& wr, const string_ref& name, const Member& member, bool first) {
  write_member_name(wr, name, first);
  json_impl<Member>::write(wr, member);
}

template <typename Writer, typename T, typename Prefixes, typename Members, std::size_t... I>
void write_object(Writer& wr, const T& object, const std::vector<string_ref>& fields, const Prefixes& prefixes,
                  const Members& members, std::index_sequence<I...>) {
  if (prefixes.usable()) {
    (write_prefixed_member(wr, prefixes[I], fields[I], object.*std::get<I>(members), I == 0), ...);
  } else {
    wr.putc('{');
    (write_member(wr, fields[I], object.*std::get<I>(members), I == 0), ...);
  }
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
    static const member_prefixes<count, capacity> prefixes(this_field_list());
    return prefixes;
  }

  template <typename Writer>
  static void write(Writer& wr, const T& value) {
    constexpr auto members = Mapping::members();
    write_object(wr, value, this_field_list(), this_member_prefixes(), members,
                 std::make_index_sequence<std::tuple_size<decltype(members)>::value>());
  }
};

}  // namespace detail
}  // namespace ajson
