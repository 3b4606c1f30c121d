#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "tests/ajson/records.h"

// Every operator new of this binary is counted, so that a copy or a temporary
// added to the codec shows up as a count that no longer matches.
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

using Stream = ajson::ajson_string_stream<std::allocator<char>>;

template <typename F>
long allocations_during(F&& f) {
  const long before = allocations.load();
  f();
  return allocations.load() - before;
}

// Reading allocates only the text member (field names are never copied);
// writing a message under a kibibyte allocates only its one buffer.
TEST(Allocations, ReadingAndWritingAllocateOnlyWhatTheyKeep) {
  const std::string text = R"({"color":{"R":1,"G":2},"skipped":[1,{"k":"v"}],"name":")" + std::string(600, 'n') + "\"}";
  codec_test::Box box;
  ajson::read_document(text.c_str(), box);  // builds the field lists
  box.name.clear();
  box.name.shrink_to_fit();
  EXPECT_EQ(allocations_during([&] { ajson::read_document(text.c_str(), box); }), 1);

  std::string out;
  ajson::write_document(out, box);
  EXPECT_EQ(allocations_during([&] { ajson::write_document(out, box); }), 1);
}

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
