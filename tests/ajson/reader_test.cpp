#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ajson/ajson.hpp"

namespace {

struct TokenCase {
  const char* input;
  ajson::token_kind kind;
  const char* text;
};

ajson::reader primed(const char* text) {
  ajson::reader rd(text, UINT64_MAX);
  rd.next();
  return rd;
}

TEST(Reader, ClassifiesTokensAndPointsIntoTheInput) {
  const TokenCase cases[] = {
      {"\"abc\" ", ajson::tk_string, "abc"},
      {"\"a\\\"b\" ", ajson::tk_string, "a\\\"b"},
      {"word,", ajson::tk_string, "word"},
      {"+5 ", ajson::tk_string, "+5"},
      {".5 ", ajson::tk_string, ".5"},
      {"a\"b ", ajson::tk_string, "a\"b"},
      {"-12 ", ajson::tk_signed, "-12"},
      {"- ", ajson::tk_signed, "-"},
      {"007 ", ajson::tk_unsigned, "007"},
      {"1.5 ", ajson::tk_real, "1.5"},
      {"1e3 ", ajson::tk_real, "1e3"},
      {"1e+3 ", ajson::tk_real, "1e"},
      {"{", ajson::tk_control, "{"},
      {"  :", ajson::tk_control, ":"},
      {"// note\n]", ajson::tk_control, "]"},
      {"/* a * b **/,", ajson::tk_control, ","},
      {"", ajson::tk_end, ""},
      {" \t\r\n", ajson::tk_end, ""},
      {"// only a comment", ajson::tk_end, ""},
      {"/* open comment", ajson::tk_end, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ajson::reader rd = primed(c.input);
    EXPECT_EQ(rd.token.kind, c.kind);
    if (c.kind != ajson::tk_end) {
      EXPECT_EQ(std::string(rd.token.text.str, rd.token.text.len), c.text);
      EXPECT_GE(rd.token.text.str, c.input);
      EXPECT_LE(rd.token.text.str + rd.token.text.len, c.input + std::strlen(c.input));
    }
  }
}

TEST(Reader, ScansNumbersWhileAdvancing) {
  EXPECT_EQ(primed("18446744073709551617 ").token.value.u64, 1u);  // wraps silently
  EXPECT_DOUBLE_EQ(primed("1e3 ").token.value.d64, 1000.0);
  EXPECT_DOUBLE_EQ(primed("2.5E-1 ").token.value.d64, 0.25);
  EXPECT_DOUBLE_EQ(primed("-1.5 ").token.value.d64, 1.5);
  EXPECT_TRUE(primed("-1.5 ").token.negative);
  EXPECT_FALSE(primed("1.5 ").token.negative);
  EXPECT_DOUBLE_EQ(primed("1e400 ").token.value.d64, HUGE_VAL);
  EXPECT_DOUBLE_EQ(primed("1e-999999999 ").token.value.d64, 0.0);

  ajson::reader rd = primed("12abc ");  // a number is not checked against what follows it
  EXPECT_EQ(rd.token.kind, ajson::tk_unsigned);
  EXPECT_EQ(rd.token.value.u64, 12u);
  rd.next();
  EXPECT_EQ(std::string(rd.token.text.str, rd.token.text.len), "abc");

  ajson::reader plus = primed("1e+3 ");
  EXPECT_DOUBLE_EQ(plus.token.value.d64, 1.0);
  plus.next();
  EXPECT_EQ(std::string(plus.token.text.str, plus.token.text.len), "+3");
}

TEST(Reader, EndOfInputIsStickyAndEndsNumbers) {
  ajson::reader rd = primed("42");
  EXPECT_EQ(rd.token.kind, ajson::tk_unsigned);
  EXPECT_EQ(rd.token.value.u64, 42u);
  EXPECT_TRUE(rd.at_end);
  for (int i = 0; i < 3; ++i) {
    rd.next();
    EXPECT_EQ(rd.token.kind, ajson::tk_end);
  }
  ajson::reader null_text(nullptr, 0);
  null_text.next();
  EXPECT_EQ(null_text.token.kind, ajson::tk_end);
}

TEST(Reader, LimitStopsReadingBeforeTheNul) {
  const char text[] = "[1,2]";
  ajson::reader rd(text, 3);
  std::vector<ajson::token_kind> kinds;
  for (int i = 0; i < 5; ++i) {
    rd.next();
    kinds.push_back(rd.token.kind);
  }
  EXPECT_EQ(kinds, (std::vector<ajson::token_kind>{ajson::tk_control, ajson::tk_unsigned, ajson::tk_control,
                                                   ajson::tk_end, ajson::tk_end}));
}

TEST(Reader, CountsLinesAndColumnsWithoutCarriageReturns) {
  for (const char* text : {" \n  x ", " \r\n  x ", " \r\n\r  x "}) {
    SCOPED_TRACE(text);
    ajson::reader rd = primed(text);
    EXPECT_EQ(rd.line, 1u);
    EXPECT_EQ(rd.column, 4u);  // after the word: the LF is column 0, "x" column 3
  }
}

struct ErrorCase {
  const char* input;
  const char* message;
};

std::string first_error(const char* text) {
  try {
    ajson::reader rd(text, UINT64_MAX);
    for (int i = 0; i < 100; ++i) rd.next();
  } catch (const ajson::exception& e) {
    return e.what();
  }
  return "";
}

TEST(Reader, TokenFaultsNameTheirPosition) {
  const ErrorCase cases[] = {
      {"{\"R", "error at line :0 col :3 msg:not a valid quote string!"},
      {"\"ab\ncd\"", "error at line :1 col :0 msg:not a valid quote string!"},
      {"\"ab\\", "error at line :0 col :4 msg:not a valid quote string!"},
      {"\"", "error at line :0 col :1 msg:not a valid quote string!"},
      {"{\"R\": 1.2.3}", "error at line :0 col :9 msg:not a valid number!"},
      {"[abc", "error at line :0 col :4 msg:not a valid string!"},
      {" \n\n  true", "error at line :2 col :7 msg:not a valid string!"},
      {"/", "error at line :0 col :1 msg:not a comment!"},
      {" /x", "error at line :0 col :2 msg:not a comment!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(first_error(c.input), c.message) << c.input;
  }
}

TEST(Reader, QuotedStringsKeepEscapesAndCarriageReturns) {
  ajson::reader rd = primed("\"a\\\"\rb\" ");
  EXPECT_EQ(std::string(rd.token.text.str, rd.token.text.len), "a\\\"\rb");
}

TEST(Exception, CarriesItsText) {
  const ajson::exception e(std::string("error at line :1 col :2 msg:x"));
  EXPECT_STREQ(e.what(), "error at line :1 col :2 msg:x");
  const std::exception& base = e;
  EXPECT_STREQ(base.what(), "error at line :1 col :2 msg:x");
}

}  // namespace
