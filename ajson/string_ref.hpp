#pragma once

#include <cstddef>
#include <cstring>

namespace ajson {
namespace detail {

// A view into text kept alive by its owner: tokens and field names point into
// the input or into a string literal, so nothing is copied while parsing.
struct string_ref {
  const char* str;
  std::size_t len;
};

inline bool equals(const string_ref& a, const string_ref& b) {
  return a.len == b.len && (a.len == 0 || std::memcmp(a.str, b.str, a.len) == 0);
}

}  // namespace detail
}  // namespace ajson
