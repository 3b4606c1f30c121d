#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "tests/ajson/test_records.h"

// Every operator new of this test binary is counted, so a copy or a stray
// temporary added to the codec shows up as a failing count.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// GCC cannot see that this pair replaces the global allocator as a whole.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

template <typename F>
long allocations_during(F&& f) {
  const long before = allocations.load();
  f();
  return allocations.load() - before;
}

TEST(Allocations, TokenizingAndSkippingAllocateNothing) {
  const char* text =
      "{\"key\":\"a long string value that would not fit any small buffer\",\"n\":-12.5e3,"
      "\"list\":[1,2,{\"deep\":[true,null,word]}] /* comment */ }";
  EXPECT_EQ(allocations_during([&] {
              ajson::reader rd(text, UINT64_MAX);
              for (rd.next(); rd.token.kind != ajson::tk_end; rd.next()) {
              }
            }),
            0);
  EXPECT_EQ(allocations_during([&] {
              ajson::reader rd(text, UINT64_MAX);
              rd.next();
              ajson::skip(rd);
            }),
            0);
}

TEST(Allocations, EachStringMemberCostsAtMostOneAllocation) {
  const std::string source(100, 's');
  const std::string body(300, 'b');
  const std::string text =
      "{\"source\":\"" + source + "\",\"seq\":1,\"code\":2,\"body\":\"" + body + "\",\"unknown\":\"" + body + "\"}";
  codec_test::Report warm;
  ajson::read_document(text.c_str(), warm);  // builds the field list once

  codec_test::Report report;
  EXPECT_EQ(allocations_during([&] { ajson::read_document(text.c_str(), report); }), 2);
  EXPECT_EQ(report.body, body);
  EXPECT_EQ(allocations_during([&] { ajson::read_document(text.c_str(), report); }), 0);
}

TEST(Allocations, WritingUnderOneKibibyteCostsOneAllocation) {
  std::vector<codec_test::Shape> shapes(5);
  std::string warm;
  ajson::write_document(warm, shapes);
  ASSERT_LT(warm.size(), 1024u);

  EXPECT_EQ(allocations_during([&] {
              ajson::ajson_string_stream<std::allocator<char>> stream;
              ajson::lite_write<ajson::ajson_string_stream<std::allocator<char>>> writer(stream);
              ajson::json_impl<std::vector<codec_test::Shape>>::write(writer, shapes);
            }),
            1);
  std::string out;
  out.reserve(1024);
  EXPECT_EQ(allocations_during([&] { ajson::write_document(out, shapes); }), 1);
  EXPECT_EQ(out, warm);
}

}  // namespace
