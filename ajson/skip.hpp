#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ajson/reader.hpp"

namespace ajson {
namespace detail {

// Remembers, for each open container, whether it is an object. Skipping walks
// nested values with this explicit stack rather than recursion, so that hostile
// nesting depth costs heap bits, not call-stack frames.
class nesting_stack {
 public:
  void push(bool is_object) {
    if (depth_ < inline_levels) {
      const std::uint64_t bit = std::uint64_t{1} << depth_;
      bits_ = is_object ? (bits_ | bit) : (bits_ & ~bit);
    } else {
      spill_.push_back(is_object);
    }
    ++depth_;
  }
  void pop() {
    --depth_;
    if (depth_ >= inline_levels) spill_.pop_back();
  }
  bool top_is_object() const {
    const std::size_t top = depth_ - 1;
    return top < inline_levels ? ((bits_ >> top) & 1) != 0 : spill_.back();
  }
  bool empty() const { return depth_ == 0; }

 private:
  static constexpr std::size_t inline_levels = 64;
  std::uint64_t bits_ = 0;
  std::vector<bool> spill_;
  std::size_t depth_ = 0;
};

inline bool is_scalar(token_kind kind) {
  return kind == tk_string || kind == tk_signed || kind == tk_unsigned || kind == tk_real;
}

inline bool opens_container(const reader& rd) { return rd.is_control('[') || rd.is_control('{'); }

// Inside a skipped object: the key (a string or a number) and its ":".
inline void skip_member_key(reader& rd) {
  if (!is_scalar(rd.token.kind)) rd.error("invalid json document!");
  rd.next();
  if (!rd.is_control(':')) rd.error("invalid json document!");
  rd.next();
}

inline void reject_misplaced_in_array(const reader& rd) {
  if (rd.token.kind == tk_end || rd.is_control('}') || rd.is_control(':')) rd.error("invalid json document!");
}

}  // namespace detail

// Passes over one complete value starting at the current token. Separators
// between array elements are optional, and a "," in value position counts as
// nothing; a stray closing token is left for the caller to judge.
inline void skip(reader& rd) {
  if (detail::is_scalar(rd.token.kind)) {
    rd.next();
    return;
  }
  if (!detail::opens_container(rd)) return;
  detail::nesting_stack open;
  open.push(rd.is_control('{'));
  rd.next();
  for (;;) {
    const bool in_object = open.top_is_object();
    if (rd.is_control(in_object ? '}' : ']')) {
      rd.next();
      open.pop();
      if (open.empty()) return;
    } else {
      if (in_object) {
        detail::skip_member_key(rd);
      } else {
        detail::reject_misplaced_in_array(rd);
      }
      if (detail::opens_container(rd)) {
        open.push(rd.is_control('{'));
        rd.next();
        continue;
      }
      if (detail::is_scalar(rd.token.kind)) rd.next();
    }
    if (rd.is_control(',')) rd.next();
  }
}

}  // namespace ajson
