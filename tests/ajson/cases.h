#pragma once

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "ajson/ajson.hpp"

// Case tables live in the folder's cases.json and are read with a JSON parser
// that is not the one under test.
namespace codec_test {

inline const nlohmann::json& cases(const char* table) {
  static const nlohmann::json all = nlohmann::json::parse(std::ifstream(LCD_CASES_FILE));
  return all.at(table);
}

// Bytes written as a string, or as an array of byte values where they are not valid UTF-8.
inline std::string bytes(const nlohmann::json& value) {
  if (value.is_string()) return value.get<std::string>();
  const std::vector<unsigned char> values = value;
  return std::string(values.begin(), values.end());
}

// The codec's error text for what f does, or "" when f throws nothing.
template <typename F>
std::string error_of(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const ajson::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace codec_test
