#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ajson/cases.h"
#include "tests/ajson/records.h"

namespace {

using codec_test::text_of;

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
class Tokens : public testing::TestWithParam<codec_test::row> {};

TEST_P(Tokens, AreListedUpToTheEndOrTheFirstFault) {
  const nlohmann::json& c = GetParam().cells;
  const std::string input = c[0];
  std::string tokens;
  const std::string error = codec_test::error_of([&] {
    for (ajson::reader rd = primed(input, c.size() > 2 ? c[2].get<std::uint64_t>() : UINT64_MAX);; rd.next()) {
      tokens += render(rd.token) + "\n";
      if (rd.token.kind == ajson::tk_end) return;
    }
  });
  EXPECT_EQ(error.empty() ? tokens : error, text_of(c[1]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Tokens, testing::ValuesIn(codec_test::rows("tokens")), codec_test::row_name);

// What one reader makes of the token, or its fault; after a value the reader
// stands on the "," that follows.
template <typename T>
std::string read_as(const std::string& input) {
  T value{};
  ajson::reader rd = primed(input);
  const std::string error = codec_test::error_of([&] { ajson::json_impl<T>::read(rd, value); });
  if (!error.empty()) return error;
  if (!rd.is_control(',')) return "not on the comma";
  std::ostringstream text;
  text << value;
  return text.str();
}

// Cells: input, then what the signed 32-bit, unsigned 32-bit and string
// readers make of it, and the unsigned 16-bit one where it differs from the
// 32-bit one.
class Scalars : public testing::TestWithParam<codec_test::row> {};

TEST_P(Scalars, AreConvertedOrRefusedByEachReader) {
  const nlohmann::json& c = GetParam().cells;
  const std::string input = c[0];
  EXPECT_EQ(read_as<int>(input), text_of(c[1]));
  EXPECT_EQ(read_as<unsigned int>(input), text_of(c[2]));
  EXPECT_EQ(read_as<std::string>(input), text_of(c[3]));
  EXPECT_EQ(read_as<unsigned short>(input), text_of(c.size() > 4 ? c[4] : c[2]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Scalars, testing::ValuesIn(codec_test::rows("scalars")), codec_test::row_name);

// Cells: input, then the token the skipper leaves the reader on, or its fault.
class Skip : public testing::TestWithParam<codec_test::row> {};

TEST_P(Skip, PassesOverOneValueOrPositionsTheFault) {
  const nlohmann::json& c = GetParam().cells;
  const std::string input = c[0];
  ajson::reader rd = primed(input);
  const std::string error = codec_test::error_of([&] { ajson::skip(rd); });
  EXPECT_EQ(error.empty() ? render(rd.token) : error, text_of(c[1]));
}

INSTANTIATE_TEST_SUITE_P(Reader, Skip, testing::ValuesIn(codec_test::rows("skip")), codec_test::row_name);

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
  const std::string input = c[1];
  const std::string error = codec_test::error_of([&] { ajson::read_document(input.c_str(), value); });
  nlohmann::json expected = codec_test::as_json(T{});
  expected.merge_patch(c[2]);
  EXPECT_EQ(codec_test::as_json(value).dump() + "\n" + error, expected.dump() + "\n" + codec_test::text_of(c[3]));
}

// Cells: the type read into, the input, how the value differs from a new one
// afterwards (also after a fault), and the fault ("" for none).
class Read : public testing::TestWithParam<codec_test::row> {};

const std::map<std::string, void (*)(const nlohmann::json&)> kReadInto{
    {"rgb", expect_read<codec_test::Rgb>},
    {"box", expect_read<codec_test::Box>},
    {"items", expect_read<std::vector<codec_test::Rgb>>}};

TEST_P(Read, FillsRecordsAndArraysByTheFieldList) {
  const nlohmann::json& c = GetParam().cells;
  ASSERT_EQ(kReadInto.count(c[0]), 1u) << "unknown type " << c[0];
  kReadInto.at(c[0])(c);
}

INSTANTIATE_TEST_SUITE_P(Mapping, Read, testing::ValuesIn(codec_test::rows("read")), codec_test::row_name);

}  // namespace
