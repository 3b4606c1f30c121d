#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ajson/cases.h"
#include "tests/ajson/records.h"

namespace {

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

TEST_P(Read, FillsRecordsAndArraysByTheFieldList) {
  const nlohmann::json& c = GetParam().cells;
  if (c[0] == "rgb") {
    expect_read<codec_test::Rgb>(c);
  } else if (c[0] == "box") {
    expect_read<codec_test::Box>(c);
  } else if (c[0] == "items") {
    expect_read<std::vector<codec_test::Rgb>>(c);
  } else {
    FAIL() << "unknown type " << c[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Mapping, Read, testing::ValuesIn(codec_test::rows("read")), codec_test::row_name);

}  // namespace
