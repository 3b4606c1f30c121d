#pragma once

#include <fstream>
#include <ostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ajson/ajson.hpp"

// Case tables live in the folder's cases.json and are read with a JSON parser
// that is not the one under test. A row starts with its case name; the other
// cells follow.
namespace codec_test {

struct row {
  std::string name;
  nlohmann::json cells;
};

inline void PrintTo(const row& r, std::ostream* out) { *out << r.name; }

inline std::string row_name(const testing::TestParamInfo<row>& info) { return info.param.name; }

inline std::vector<row> rows(const char* table) {
  static const nlohmann::json all = nlohmann::json::parse(std::ifstream(LCD_CASES_FILE));
  std::vector<row> result;
  for (const auto& cells : all.at(table)) result.push_back({cells.at(0), {cells.begin() + 1, cells.end()}});
  if (result.empty()) throw std::runtime_error(std::string("empty case table ") + table);
  return result;
}

// A cell as the text it stands for: "@L:C message" is the codec's positioned
// error, an array of byte values those bytes, an array of texts one per line.
inline std::string text_of(const nlohmann::json& cell) {
  if (cell.is_string()) {
    return std::regex_replace(cell.get<std::string>(), std::regex("^@(\\d+):(\\d+) "),
                              "error at line :$1 col :$2 msg:");
  }
  if (!cell.is_array()) return cell.dump();
  std::string text;
  for (const auto& part : cell)
    text += part.is_string() ? part.get<std::string>() + "\n" : std::string(1, part.get<char>());
  return text;
}

// A value as the codec writes it, read back by the fixture parser.
template <typename T>
nlohmann::json as_json(const T& value) {
  std::string text;
  ajson::write_document(text, value);
  return nlohmann::json::parse(text);
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
