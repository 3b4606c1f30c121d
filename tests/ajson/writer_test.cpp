#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/ajson/cases.h"

namespace {

using Stream = ajson::ajson_string_stream<std::allocator<char>>;
using Writer = ajson::lite_write<Stream>;

template <typename F>
std::string written(F&& write) {
  Stream stream;
  Writer writer(stream);
  write(writer);
  return std::string(stream.data(), stream.size());
}

// Columns: an integer or the bytes of a string, then exactly what is written.
TEST(Writer, WritesIntegersAndStringsExactly) {
  for (const auto& c : codec_test::cases("write")) {
    const std::string out = written([&](Writer& w) {
      if (c[0].is_number()) return ajson::json_impl<int>::write(w, c[0].get<int>());
      const std::string in = codec_test::bytes(c[0]);
      w.write_str(in.data(), in.size());
    });
    EXPECT_EQ(out, c[1]) << c[0];
  }
}

std::string u_escape(unsigned unit) {
  char text[7];
  std::snprintf(text, sizeof text, "\\u%04X", unit & 0xFFFFu);  // one UTF-16 unit: four digits
  return text;
}

// Every code point from U+0080 on (surrogates excluded, being no characters)
// comes out as its escape, or as a surrogate pair of escapes above U+FFFF.
// The bytes written are the fixture parser's reading of those escapes, in
// blocks, so that no stream grows large.
TEST(Writer, EscapesEveryCodePointBeyondAscii) {
  for (unsigned block = 0x80; block <= 0x10FFFF; block += 0x400) {
    std::string expected = "\"";
    for (unsigned cp = block; cp < block + 0x400 && cp <= 0x10FFFF; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      const unsigned offset = cp - 0x10000;
      expected += cp <= 0xFFFF ? u_escape(cp) : u_escape(0xD800 + (offset >> 10)) + u_escape(0xDC00 + (offset & 0x3FF));
    }
    expected += "\"";
    const std::string in = nlohmann::json::parse(expected).get<std::string>();
    ASSERT_EQ(written([&](Writer& w) { w.write_str(in.data(), in.size()); }), expected) << block;
  }
}

// Columns: the sizes of successive appends (one byte through put, more through
// write), then the capacity after each.
TEST(StringStream, GrowsInKibibyteStepsKeepingItsContent) {
  for (const auto& c : codec_test::cases("growth")) {
    Stream stream;
    std::string expected;
    std::vector<std::uint64_t> capacities;
    for (std::size_t n : c[0]) {
      const std::string chunk(n, static_cast<char>('a' + capacities.size()));
      n == 1 ? stream.put(chunk[0]) : stream.write(chunk.data(), n);
      expected += chunk;
      capacities.push_back(stream.capacity());
    }
    EXPECT_EQ(capacities, c[1].get<std::vector<std::uint64_t>>()) << c[0];
    EXPECT_EQ(std::string(stream.data(), stream.size()), expected);
  }
  Stream stream;
  volatile std::size_t huge = SIZE_MAX;  // opaque, so that the compiler does not check the copy itself
  EXPECT_THROW(stream.write("", huge), std::bad_alloc);
}

}  // namespace
