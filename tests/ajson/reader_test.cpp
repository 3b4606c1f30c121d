#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ajson/cases.h"

namespace {

// A token as the tables write it: kind, then "-" when negative, then its text
// or value ("s word", "c {", "u 7", "i -7", "r -0.25", "end").
std::string render(const ajson::json_token& token) {
  std::ostringstream out;
  const char* kinds[] = {"s ", "i ", "u ", "r ", "c ", "end"};
  out << kinds[token.kind] << (token.negative ? "-" : "");
  if (token.kind == ajson::tk_string || token.kind == ajson::tk_control) {
    out << std::string(token.text.str, token.text.len);
  } else if (token.kind == ajson::tk_signed || token.kind == ajson::tk_unsigned) {
    out << token.value.u64;
  } else if (token.kind == ajson::tk_real) {
    out << token.value.d64;
  }
  return out.str();
}

ajson::reader primed(const std::string& text) {
  ajson::reader rd(text.c_str(), UINT64_MAX);
  rd.next();
  return rd;
}

// Every token up to the end, or the first fault with its position.
TEST(Reader, TokenizesAndPositionsEveryFault) {
  for (const auto& c : codec_test::cases("tokens")) {
    const std::string input = c[0];
    std::vector<std::string> tokens;
    const std::string error = codec_test::error_of([&] {
      for (ajson::reader rd = primed(input);; rd.next()) {
        tokens.push_back(render(rd.token));
        if (rd.token.kind == ajson::tk_end) return;
      }
    });
    EXPECT_EQ(error.empty() ? nlohmann::json(tokens) : nlohmann::json(error), c[1]) << input;
  }
}

// What one reader makes of the token, or its fault; after a value it stands on the "," that follows.
template <typename T>
void expect_read(const std::string& input, const nlohmann::json& expected) {
  T value{};
  ajson::reader rd = primed(input);
  const std::string error = codec_test::error_of([&] { ajson::json_impl<T>::read(rd, value); });
  const nlohmann::json read = error.empty() ? nlohmann::json(value) : nlohmann::json(error);
  EXPECT_EQ(read, expected.is_array() ? nlohmann::json(codec_test::bytes(expected)) : expected) << input;
  EXPECT_TRUE(!error.empty() || rd.is_control(',')) << input;
}

// Columns: input, then what the signed 32-bit, unsigned 32-bit, unsigned
// 16-bit and string readers make of it.
TEST(ScalarReaders, ConvertEachTokenKindOrRefuseIt) {
  for (const auto& c : codec_test::cases("scalars")) {
    const std::string input = c[0];
    expect_read<int>(input, c[1]);
    expect_read<unsigned int>(input, c[2]);
    expect_read<unsigned short>(input, c[3]);
    expect_read<std::string>(input, c[4]);
  }
}

// Nesting deep enough to leave the skipper's inline levels, objects and arrays mixed.
std::string deeply_nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += i % 3 == 0 ? "{\"k\":" : "[";
  for (int i = depth; i-- > 0;) text += i % 3 == 0 ? "}" : "]";
  return text + " next ";
}

// Columns: input, then the token the skipper leaves the reader on, or its fault.
TEST(Skip, PassesOverOneValueOrPositionsTheFault) {
  nlohmann::json table = codec_test::cases("skip");
  table.push_back({deeply_nested(200), "s next"});
  for (const auto& c : table) {
    const std::string input = c[0];
    ajson::reader rd = primed(input);
    const std::string error = codec_test::error_of([&] { ajson::skip(rd); });
    EXPECT_EQ(error.empty() ? render(rd.token) : error, c[1]) << input;
  }
}

}  // namespace
