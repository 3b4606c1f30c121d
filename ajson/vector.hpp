#pragma once

#include <vector>

#include "ajson/json_impl.hpp"
#include "ajson/reader.hpp"

namespace ajson {

// Arrays: elements are appended to what the vector already holds, and a
// trailing comma before "]" is accepted.
template <typename T>
struct json_impl<std::vector<T>> {
  static void read(reader& rd, std::vector<T>& values) {
    if (!rd.is_control('[')) rd.error("array must start with [.");
    rd.next();
    if (rd.is_control(']')) {
      rd.next();
      return;
    }
    for (;;) {
      values.emplace_back();
      json_impl<T>::read(rd, values.back());
      if (rd.is_control(']')) break;
      if (!rd.is_control(',')) rd.error("no valid array!");
      rd.next();
      if (rd.is_control(']')) break;
    }
    rd.next();
  }

  template <typename Writer>
  static void write(Writer& wr, const std::vector<T>& values) {
    wr.putc('[');
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i != 0) wr.putc(',');
      json_impl<T>::write(wr, values[i]);
    }
    wr.putc(']');
  }
};

}  // namespace ajson
