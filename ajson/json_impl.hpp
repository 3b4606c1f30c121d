#pragma once

namespace ajson {

// Codec of one C++ type: static read(reader&, T&) and write(writer&, const T&).
// Specialised for the scalar types, for std::vector and, through AJSON, for records.
template <typename T>
struct json_impl;

}  // namespace ajson
