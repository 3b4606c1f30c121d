#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ajson/cases.h"
#include "tests/ajson/records.h"

namespace {

template <typename T>
void expect_read(const nlohmann::json& c) {
  const std::string input = c[1];
  T value{};
  EXPECT_EQ(codec_test::error_of([&] { ajson::read_document(input.c_str(), value); }), c[3]) << input;
  std::string text;
  ajson::write_document(text, value);
  EXPECT_EQ(nlohmann::json::parse(text), c[2]) << input;
}

// Columns: the type read into, the input, what the value holds afterwards
// (also after a fault), and the fault ("" for none).
TEST(Mapping, ReadsObjectsAndArraysByTheFieldList) {
  for (const auto& c : codec_test::cases("read")) {
    if (c[0] == "rgb") expect_read<codec_test::Rgb>(c);
    if (c[0] == "box") expect_read<codec_test::Box>(c);
    if (c[0] == "items") expect_read<std::vector<codec_test::Rgb>>(c);
  }
}

}  // namespace
