#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/ajson/test_records.h"

namespace {

template <typename T>
T read_value(const char* text) {
  T value{};
  ajson::reader rd(text, UINT64_MAX);
  rd.next();
  ajson::json_impl<T>::read(rd, value);
  return value;
}

template <typename T>
std::string read_failure(const char* text) {
  T value{};
  ajson::reader rd(text, UINT64_MAX);
  try {
    rd.next();
    ajson::json_impl<T>::read(rd, value);
  } catch (const ajson::exception& e) {
    return e.what();
  }
  return "";
}

struct IntCase {
  const char* text;
  int expected;
};

TEST(SignedReader, ConvertsEveryTokenKind) {
  const IntCase cases[] = {
      {"7 ", 7},
      {"-7 ", -7},
      {"-0 ", 0},
      {"4294967297 ", 1},
      {"-4294967297 ", -1},
      {"2147483648 ", -2147483647 - 1},
      {"3.9 ", 3},
      {"-3.9 ", -3},
      {"12.9 ", 12},
      {"-12.9 ", -12},
      {"1e3 ", 1000},
      {"2.5E-1 ", 0},
      {"3e10 ", 2147483647},
      {"-3e10 ", -2147483647},
      {"true ", 1},
      {"TRUE ", 1},
      {"\"True\" ", 1},
      {"false ", 0},
      {"null ", 0},
      {"abc ", 0},
      {"\"42\" ", 42},
      {"\"640px\" ", 640},
      {"\" \\t-8x\" ", 0},
      {"\"\t-8x\" ", -8},
      {"\"+9\" ", 9},
      {"\"\" ", 0},
      {"\"truer\" ", 0},
      {"\"99999999999999999999\" ", -1},
      {"\"-99999999999999999999\" ", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_value<int>(c.text), c.expected) << c.text;
  }
}

struct UnsignedCase {
  const char* text;
  unsigned int wide;
  unsigned short narrow;
};

TEST(UnsignedReader, KeepsTheLowBitsOfEachWidth) {
  const UnsignedCase cases[] = {
      {"70000 ", 70000u, 4464},
      {"4294967297 ", 1u, 1},
      {"65537 ", 65537u, 1},
      {"1.9 ", 1u, 1},
      {"5e9 ", 4294967295u, 65535},
      {"true ", 1u, 1},
      {"\"70000\" ", 70000u, 4464},
      {"\"-1\" ", 4294967295u, 65535},
      {"word ", 0u, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_value<unsigned int>(c.text), c.wide) << c.text;
    EXPECT_EQ(read_value<unsigned short>(c.text), c.narrow) << c.text;
  }
}

struct FailureCase {
  const char* text;
  const char* message;
};

TEST(ScalarReaders, RefuseWhatTheyCannotConvert) {
  const FailureCase signed_cases[] = {
      {"[1]", "error at line :0 col :1 msg:not a valid signed integral like number."},
      {"  }", "error at line :0 col :3 msg:not a valid signed integral like number."},
      {"", "error at line :0 col :0 msg:not a valid signed integral like number."},
  };
  for (const auto& c : signed_cases) EXPECT_EQ(read_failure<int>(c.text), c.message) << c.text;

  const FailureCase unsigned_cases[] = {
      {"-5 ", "error at line :0 col :2 msg:assign a negative signed integral to unsigned integral number."},
      {"-0 ", "error at line :0 col :2 msg:assign a negative signed integral to unsigned integral number."},
      {"-0.5 ", "error at line :0 col :4 msg:assign a negative float point to unsigned integral number."},
      {"{}", "error at line :0 col :1 msg:not a valid unsigned integral like number."},
  };
  for (const auto& c : unsigned_cases) {
    EXPECT_EQ(read_failure<unsigned int>(c.text), c.message) << c.text;
    EXPECT_EQ(read_failure<unsigned short>(c.text), c.message) << c.text;
  }

  const FailureCase string_cases[] = {
      {"12 ", "error at line :0 col :2 msg:not a valid string."},
      {"[", "error at line :0 col :1 msg:not a valid string."},
      {"\"\\u0000\" ", "error at line :0 col :8 msg:not a valid string."},
      {"\"\\x41\" ", "error at line :0 col :6 msg:not a valid string."},
  };
  for (const auto& c : string_cases) EXPECT_EQ(read_failure<std::string>(c.text), c.message) << c.text;
}

TEST(ScalarReaders, LeaveTheReaderOnTheFollowingToken) {
  ajson::reader rd("5 , \"s\" ]", UINT64_MAX);
  rd.next();
  int number = 0;
  ajson::json_impl<int>::read(rd, number);
  EXPECT_TRUE(rd.is_control(','));
  rd.next();
  std::string text;
  ajson::json_impl<std::string>::read(rd, text);
  EXPECT_EQ(text, "s");
  EXPECT_TRUE(rd.is_control(']'));
}

struct EscapeCase {
  std::string token;
  bool ok;
  std::string decoded;
};

TEST(EscapeString, DecodesEveryEscapeAndRefusesBadOnes) {
  const EscapeCase cases[] = {
      {"plain", true, "plain"},
      {"", true, ""},
      {"\\\"\\\\\\/", true, "\"\\/"},
      {"\\b\\f\\n\\r\\t", true, "\b\f\n\r\t"},
      {"a\\u00e9b", true,
       "a\xC3\xA9"
       "b"},
      {"\\u0041\\u07FF\\u0800\\uFFFF", true, "A\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {"\\uD83D\\uDE00", true, "\xED\xA0\xBD\xED\xB8\x80"},
      {"\xC3\xA9\xFF", true, "\xC3\xA9\xFF"},
      {"\\u0000", false, ""},
      {"\\x41", false, ""},
      {"\\u12", false, ""},
      {"\\u12g4", false, ""},
      {"\\u00\xE9"
       "0",
       false, ""},
      {"ab\\", false, ""},
  };
  for (const auto& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(ajson::escape_string(out, c.token.data(), c.token.size()), c.ok) << c.token;
    if (c.ok) {
      EXPECT_EQ(out, c.decoded) << c.token;
    }
  }
}

}  // namespace
