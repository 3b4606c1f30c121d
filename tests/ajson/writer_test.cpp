#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/ajson/test_records.h"

namespace {

using Stream = ajson::ajson_string_stream<std::allocator<char>>;
using Writer = ajson::lite_write<Stream>;

std::string written_string(const std::string& bytes) {
  Stream stream;
  Writer writer(stream);
  writer.write_str(bytes.data(), bytes.size());
  return std::string(stream.data(), stream.size());
}

std::string written_int(int value) {
  Stream stream;
  Writer writer(stream);
  ajson::json_impl<int>::write(writer, value);
  return std::string(stream.data(), stream.size());
}

struct StringCase {
  std::string bytes;
  const char* json;
};

TEST(WriteStr, EscapesEverythingButPrintableAscii) {
  const StringCase cases[] = {
      {"layerId", "\"layerId\""},
      {"", "\"\""},
      {"\"\\/", "\"\\\"\\\\/\""},
      {"\b\t\n\f\r", "\"\\b\\t\\n\\f\\r\""},
      {"\x01", "\"\\u0001\""},
      {"\x1F\x7F", "\"\\u001F\\u007F\""},
      {"\xC3\xA9", "\"\\u00E9\""},
      {"\xE2\x82\xAC", "\"\\u20AC\""},
      {"\xF0\x9F\x98\x80", "\"\\uD83D\\uDE00\""},
      {"a\xFF"
       "b",
       "\"a\""},
      {"a\xC3", "\"a\""},
      {"\xED\xA0\x80x", "\"\""},
      {std::string("a\0bcd", 5), "\"a\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(written_string(c.bytes), c.json) << c.json;
  }
}

TEST(WriteInt, WritesPlainDecimal) {
  EXPECT_EQ(written_int(0), "0");
  EXPECT_EQ(written_int(7), "7");
  EXPECT_EQ(written_int(-7), "-7");
  EXPECT_EQ(written_int(2147483647), "2147483647");
  EXPECT_EQ(written_int(INT_MIN), "-2147483648");
}

// Reference decoder for the exhaustive check below: classic UTF-8 rules
// (shortest form, no surrogates, nothing above U+10FFFF).
bool reference_decode(const unsigned char* s, std::size_t n, unsigned& cp) {
  if (n == 1) return (cp = s[0]) < 0x80;
  auto cont = [&](std::size_t i) { return (s[i] & 0xC0) == 0x80; };
  for (std::size_t i = 1; i < n; ++i)
    if (!cont(i)) return false;
  if (n == 2 && s[0] >= 0xC2 && s[0] <= 0xDF) {
    cp = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
    return true;
  }
  if (n == 3 && (s[0] & 0xF0) == 0xE0) {
    cp = ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
    return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF);
  }
  if (n == 4 && s[0] >= 0xF0 && s[0] <= 0xF4) {
    cp = ((s[0] & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
    return cp >= 0x10000 && cp <= 0x10FFFF;
  }
  return false;
}

// Feeds a sequence to the table decoder: accepted only if the state returns to
// 0 exactly at its last byte and never rejects.
bool table_decode(const unsigned char* s, std::size_t n, unsigned& cp) {
  unsigned char state = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Writer::decode(state, cp, s[i]);
    if (state == 1) return false;
    if (state == 0) return i == n - 1;
  }
  return false;
}

TEST(Utf8Decoder, AgreesWithTheReferenceOnEveryShortSequence) {
  unsigned char s[4];
  int accepted = 0;
  for (unsigned a = 0; a < 256; ++a) {
    s[0] = static_cast<unsigned char>(a);
    unsigned ref = 0, got = 0;
    ASSERT_EQ(table_decode(s, 1, got), reference_decode(s, 1, ref)) << a;
    for (unsigned b = 0x80; b < 0xC0; ++b) {
      s[1] = static_cast<unsigned char>(b);
      const bool two = reference_decode(s, 2, ref);
      ASSERT_EQ(table_decode(s, 2, got), two) << a << " " << b;
      if (two) {
        ASSERT_EQ(got, ref);
      }
      for (unsigned c = 0x80; c < 0xC0; ++c) {
        s[2] = static_cast<unsigned char>(c);
        const bool three = reference_decode(s, 3, ref);
        ASSERT_EQ(table_decode(s, 3, got), three);
        if (three) {
          ASSERT_EQ(got, ref);
          ++accepted;
        }
        s[3] = 0xBF;
        const bool four = reference_decode(s, 4, ref);
        ASSERT_EQ(table_decode(s, 4, got), four);
        if (four) {
          ASSERT_EQ(got, ref);
        }
      }
    }
  }
  EXPECT_EQ(accepted, 0x10000 - 0x800 - 0x800);
}

TEST(StringStream, GrowsLinearlyInSteps) {
  Stream stream;
  EXPECT_EQ(stream.capacity(), 1024u);
  for (int i = 0; i < 1500; ++i) stream.put('x');
  EXPECT_EQ(stream.capacity(), 2048u);
  for (int i = 1500; i < 2048; ++i) stream.put('x');
  EXPECT_EQ(stream.capacity(), 2048u);
  stream.put('y');
  EXPECT_EQ(stream.capacity(), 3072u);
  EXPECT_EQ(stream.size(), 2049u);
  EXPECT_EQ(std::string(stream.data() + 2046, 3), "xxy");

  Stream bulk;
  const std::string block(5000, 'z');
  bulk.write(block.data(), block.size());
  EXPECT_EQ(bulk.capacity(), 5120u);
  EXPECT_EQ(std::string(bulk.data(), bulk.size()), block);
}

TEST(StringStream, RefusesSizesBeyondSigned64Bits) {
  Stream stream;
  stream.put('x');
  volatile std::size_t huge = SIZE_MAX;  // opaque, so the compiler does not check the copy bound itself
  EXPECT_THROW(stream.write("", huge), std::bad_alloc);
  EXPECT_EQ(stream.size(), 1u);
}

}  // namespace
