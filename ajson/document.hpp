#pragma once

#include <cstdint>
#include <string>

#include "ajson/json_impl.hpp"
#include "ajson/lite_write.hpp"
#include "ajson/reader.hpp"
#include "ajson/string_stream.hpp"

namespace ajson {

// Reads one value of T from a NUL-terminated text. Throws ajson::exception with
// the position of the first fault; out keeps what was read before it.
template <typename T>
void read_document(const char* text, T& out) {
  reader rd(text, UINT64_MAX);
  rd.next();
  json_impl<T>::read(rd, out);
}

// Replaces out with the compact JSON text of value.
template <typename T>
void write_document(std::string& out, const T& value) {
  ajson_string_stream<std::allocator<char>> stream(ajson_string_stream<>::growth_step);
  lite_write<ajson_string_stream<std::allocator<char>>> writer(stream);
  json_impl<T>::write(writer, value);
  out.assign(stream.data(), stream.size());
}

}  // namespace ajson
