#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "tests/ajson/test_records.h"

namespace {

using codec_test::Shape;

int random_int(std::mt19937& rng) {
  // Mostly ordinary values, with the extremes often enough to matter.
  switch (rng() % 8) {
    case 0: return INT_MIN;
    case 1: return INT_MAX;
    case 2: return 0;
    default: return static_cast<int>(rng());
  }
}

Shape random_shape(std::mt19937& rng) {
  Shape s;
  s.layerId = random_int(rng);
  s.pos = {random_int(rng), random_int(rng)};
  s.color = {random_int(rng), random_int(rng), random_int(rng)};
  s.tags.resize(rng() % 5);
  for (auto& tag : s.tags) tag.id = random_int(rng);
  return s;
}

void expect_same(const Shape& a, const Shape& b) {
  EXPECT_EQ(a.layerId, b.layerId);
  EXPECT_EQ(a.pos.x, b.pos.x);
  EXPECT_EQ(a.pos.y, b.pos.y);
  EXPECT_EQ(a.color.R, b.color.R);
  EXPECT_EQ(a.color.G, b.color.G);
  EXPECT_EQ(a.color.B, b.color.B);
  ASSERT_EQ(a.tags.size(), b.tags.size());
  for (std::size_t i = 0; i < a.tags.size(); ++i) EXPECT_EQ(a.tags[i].id, b.tags[i].id);
}

TEST(RoundTrip, EncodeThenDecodeGivesTheSameRecords) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 300; ++round) {
    std::vector<Shape> original(rng() % 40);
    for (auto& s : original) s = random_shape(rng);
    const std::string text = codec_test::write_text(original);
    std::vector<Shape> decoded;
    ASSERT_EQ(codec_test::read_error(text.c_str(), decoded), "") << text;
    ASSERT_EQ(decoded.size(), original.size());
    for (std::size_t i = 0; i < original.size(); ++i) expect_same(original[i], decoded[i]);
    EXPECT_EQ(codec_test::write_text(decoded), text);
  }
}

TEST(RoundTrip, PrintableAndUnicodeTextSurvivesEscaping) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"a",        "\"",           "\\",           "/", "\t", "\n", "\x01", "\x7F",
                                           "\xC3\xA9", "\xE2\x82\xAC", "\xEF\xBF\xBF", " ", "}",  "]"};
  for (int round = 0; round < 300; ++round) {
    codec_test::Report report;
    for (int i = rng() % 30; i > 0; --i) report.source += pieces[rng() % pieces.size()];
    report.seq = static_cast<unsigned>(rng());
    report.code = static_cast<unsigned short>(rng());
    report.body = codec_test::write_text(random_shape(rng));
    const std::string text = codec_test::write_text(report);
    codec_test::Report decoded;
    ASSERT_EQ(codec_test::read_error(text.c_str(), decoded), "") << text;
    EXPECT_EQ(decoded.source, report.source);
    EXPECT_EQ(decoded.seq, report.seq);
    EXPECT_EQ(decoded.code, report.code);
    EXPECT_EQ(decoded.body, report.body);
  }
}

}  // namespace
