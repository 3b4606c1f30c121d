#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ajson/ajson.hpp"
#include "tests/ajson/records.h"

namespace {

// Case tables live in the folder's cases.json and are read with a JSON parser
// that is not the one under test. A row starts with its case name; the other
// cells follow.
struct row {
  std::string name;
  nlohmann::json cells;
};

void PrintTo(const row& r, std::ostream* out) { *out << r.name; }

std::string row_name(const testing::TestParamInfo<row>& info) { return info.param.name; }

// The tests over a table: c holds the row's cells.
class table : public testing::TestWithParam<row> {
 protected:
  const nlohmann::json& c = GetParam().cells;
};

std::vector<row> rows(const char* name) {
  static const nlohmann::json all = nlohmann::json::parse(std::ifstream(LCD_CASES_FILE));
  std::vector<row> result;
  for (const auto& cells : all.at(name)) result.push_back({cells.at(0), {cells.begin() + 1, cells.end()}});
  if (result.empty()) throw std::runtime_error(std::string("empty case table ") + name);
  return result;
}

// A cell as the text it stands for: "@L:C message" is the codec's positioned
// error, an array of byte values those bytes, an array of texts one per line.
std::string text_of(const nlohmann::json& cell) {
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
    f();
  } catch (const ajson::exception& e) {
    return e.what();
  }
  return "";
}

// A token as the tables write it: kind, then "-" when negative, then its text
// or value ("s word", "c {", "u 7", "i -7", "r -0.25", "end").
std::string render(const ajson::json_token& t) {
  const char* kinds[] = {"s ", "i ", "u ", "r ", "c ", "end"};
  std::ostringstream out;
  out << kinds[t.kind] << (t.negative ? "-" : "");
  if (t.kind == ajson::tk_string || t.kind == ajson::tk_control) out << std::string(t.text.str, t.text.len);
  if (t.kind == ajson::tk_signed || t.kind == ajson::tk_unsigned) out << t.value.u64;
  if (t.kind == ajson::tk_real) out << t.value.d64;
  return out.str();
}

ajson::reader primed(const std::string& text, std::uint64_t limit = UINT64_MAX) {
  ajson::reader rd(text.c_str(), limit);
  rd.next();
  return rd;
}

// Cells: input, then every token up to the end (one per line) or the first
// fault, then the byte limit when there is one.
class Tokens : public table {};

TEST_P(Tokens, AreListedUpToTheEndOrTheFirstFault) {
  const std::string input = c[0];
  std::string tokens;
  const std::string error = error_of([&] {
    for (ajson::reader rd = primed(input, c.size() > 2 ? c[2].get<std::uint64_t>() : UINT64_MAX);; rd.next()) {
      tokens += render(rd.token) + "\n";
      if (rd.token.kind == ajson::tk_end) return;
    }
  });
  EXPECT_EQ(error.empty() ? tokens : error, text_of(c[1]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Tokens, testing::ValuesIn(rows("tokens")), row_name);

// What one reader makes of the token, or its fault; after a value the reader
// stands on the "," that follows.
template <typename T>
std::string read_as(const std::string& input) {
  T value{};
  ajson::reader rd = primed(input);
  const std::string error = error_of([&] { ajson::json_impl<T>::read(rd, value); });
  if (!error.empty()) return error;
  if (!rd.is_control(',')) return "not on the comma";
  std::ostringstream text;
  text << value;
  return text.str();
}

// Cells: input, then what the signed 32-bit, unsigned 32-bit and string
// readers make of it, and the unsigned 16-bit one where it differs from the
// 32-bit one.
class Scalars : public table {};

TEST_P(Scalars, AreConvertedOrRefusedByEachReader) {
  const std::string input = c[0];
  EXPECT_EQ(read_as<int>(input), text_of(c[1]));
  EXPECT_EQ(read_as<unsigned int>(input), text_of(c[2]));
  EXPECT_EQ(read_as<std::string>(input), text_of(c[3]));
  EXPECT_EQ(read_as<unsigned short>(input), text_of(c.size() > 4 ? c[4] : c[2]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Scalars, testing::ValuesIn(rows("scalars")), row_name);

// Cells: input, then the token the skipper leaves the reader on, or its fault.
class Skip : public table {};

TEST_P(Skip, PassesOverOneValueOrPositionsTheFault) {
  const std::string input = c[0];
  ajson::reader rd = primed(input);
  const std::string error = error_of([&] { ajson::skip(rd); });
  EXPECT_EQ(error.empty() ? render(rd.token) : error, text_of(c[1]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Skip, testing::ValuesIn(rows("skip")), row_name);

// Nesting deep enough to leave the skipper's inline levels, objects and arrays mixed.
TEST(Skip, PassesOverDeepNesting) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += i % 3 == 0 ? "{\"k\":" : "[";
  for (int i = 200; i-- > 0;) text += i % 3 == 0 ? "}" : "]";
  text += " next ";
  ajson::reader rd = primed(text);
  ajson::skip(rd);
  EXPECT_EQ(render(rd.token), "s next");
}

// The value read, as the codec writes it, and the fault; the expected value is
// a new one with the row's changes merged in.
template <typename T>
void expect_read(const nlohmann::json& c) {
  T value{};
  const std::string error = error_of([&] { ajson::read_document(c[1].get<std::string>().c_str(), value); });
  nlohmann::json expected = as_json(T{});
  expected.merge_patch(c[2]);
  EXPECT_EQ(as_json(value).dump() + "\n" + error, expected.dump() + "\n" + text_of(c[3]));
}

// Cells: the type read into, the input, how the value differs from a new one
// afterwards (also after a fault), and the fault ("" for none).
class Read : public table {};

const std::map<std::string, void (*)(const nlohmann::json&)> kReadInto{{"rgb", expect_read<codec_test::Rgb>},
                                                                       {"box", expect_read<codec_test::Box>}};

TEST_P(Read, FillsRecordsAndArraysByTheFieldList) {
  ASSERT_EQ(kReadInto.count(c[0]), 1u) << "unknown type " << c[0];
  kReadInto.at(c[0])(c);
}

INSTANTIATE_TEST_SUITE_P(Mapping, Read, testing::ValuesIn(rows("read")), row_name);

// Cells: an integer or the bytes of a string, then exactly what is written.
class Write : public table {};

TEST_P(Write, PutsIntegersAndStringsExactly) {
  std::string out;
  c[0].is_number() ? ajson::write_document(out, c[0].get<int>()) : ajson::write_document(out, text_of(c[0]));
  EXPECT_EQ(out, c[1]);
}

INSTANTIATE_TEST_SUITE_P(Writer, Write, testing::ValuesIn(rows("write")), row_name);

}  // namespace
