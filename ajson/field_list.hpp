#pragma once

#include <cstddef>
#include <vector>

#include "ajson/char_table.hpp"
#include "ajson/reader.hpp"
#include "ajson/string_ref.hpp"

namespace ajson {
namespace detail {

inline bool is_field_space(char c) { return char_class(static_cast<unsigned char>(c)) == whitespace_class; }

// Splits a field-list literal such as "layerId, cutout" into views of its names.
// The views point into the literal, which lives as long as the process.
inline std::vector<string_ref> split_fields(const char* list) {
  std::vector<string_ref> names;
  const char* p = list;
  for (;;) {
    while (is_field_space(*p)) ++p;
    if (*p == '\0') return names;
    if (*p == ',') {
      ++p;
      continue;
    }
    const char* start = p;
    while (*p != '\0' && *p != ',' && !is_field_space(*p)) ++p;
    names.push_back({start, static_cast<std::size_t>(p - start)});
  }
}

constexpr std::size_t no_field = static_cast<std::size_t>(-1);

// Index of the first name equal to key (length first, then bytes), or no_field.
inline std::size_t find_field(const std::vector<string_ref>& fields, const string_ref& key) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (equals(fields[i], key)) return i;
  }
  return no_field;
}

// Whether keys may be compared with the name expected next while they are
// read (reader::next_if_quoted): the names are distinct, so a match with the
// expected name is the first match, and each is plain string content, so
// comparing it walks the text exactly as scanning it would.
inline bool keys_can_be_expected(const std::vector<string_ref>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    for (std::size_t k = 0; k < fields[i].len; ++k) {
      if (!is_plain_string_byte(fields[i].str[k])) return false;
    }
    for (std::size_t j = i + 1; j < fields.size(); ++j) {
      if (equals(fields[i], fields[j])) return false;
    }
  }
  return true;
}

}  // namespace detail
}  // namespace ajson
