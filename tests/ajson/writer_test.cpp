#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/ajson/cases.h"

namespace {

using Stream = ajson::ajson_string_stream<std::allocator<char>>;

// Cells: an integer or the bytes of a string, then exactly what is written.
class Write : public testing::TestWithParam<codec_test::row> {};

TEST_P(Write, PutsIntegersAndStringsExactly) {
  const nlohmann::json& c = GetParam().cells;
  std::string out;
  c[0].is_number() ? ajson::write_document(out, c[0].get<int>())
                   : ajson::write_document(out, codec_test::text_of(c[0]));
  EXPECT_EQ(out, c[1]);
}

INSTANTIATE_TEST_SUITE_P(Writer, Write, testing::ValuesIn(codec_test::rows("write")), codec_test::row_name);

// The capacity after each append: rounded up to whole kibibytes, grown only
// when the bytes do not fit, the content kept.
TEST(StringStream, GrowsInKibibyteStepsKeepingTheContent) {
  Stream stream;
  std::string expected;
  std::vector<std::uint64_t> capacities;
  for (std::size_t n : {1500, 548, 1, 5000}) {
    const std::string chunk(n, static_cast<char>('a' + capacities.size()));
    n == 1 ? stream.put(chunk[0]) : stream.write(chunk.data(), n);
    expected += chunk;
    capacities.push_back(stream.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::uint64_t>{2048, 2048, 3072, 7168}));
  EXPECT_EQ(std::string(stream.data(), stream.size()), expected);
}

TEST(StringStream, RefusesASizeBeyondSigned64Bits) {
  Stream stream;
  volatile std::size_t huge = SIZE_MAX;  // opaque, so that the compiler does not check the copy itself
  EXPECT_THROW(stream.write("", huge), std::bad_alloc);
}

}  // namespace
