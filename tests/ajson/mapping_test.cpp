#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ajson/test_records.h"

namespace {

using codec_test::Color;
using codec_test::Envelope;
using codec_test::read_error;
using codec_test::Report;
using codec_test::Shape;
using codec_test::write_text;

std::vector<std::string> names(const char* list) {
  std::vector<std::string> out;
  for (const auto& ref : ajson::detail::split_fields(list)) out.emplace_back(ref.str, ref.len);
  return out;
}

TEST(SplitFields, SplitsOnCommasAndIgnoresSpacing) {
  EXPECT_EQ(names("a, b, c"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(names("  x,y "), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(names("\tcode,\r\n message ,\fdata"), (std::vector<std::string>{"code", "message", "data"}));
  EXPECT_TRUE(names("").empty());
  EXPECT_TRUE(names("   ").empty());
}

TEST(FieldList, IsBuiltOncePerTypeAndPointsIntoTheLiteral) {
  const auto& first = ajson::json_impl<Color>::this_field_list();
  const auto& again = ajson::json_impl<Color>::this_field_list();
  EXPECT_EQ(&first, &again);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(std::string(first[2].str, first[2].len), "B");
  EXPECT_STREQ(ajson::json_impl<Color>::field_list_text(), "R, G, B");
  EXPECT_EQ(first[0].str, ajson::json_impl<Color>::field_list_text());
  EXPECT_STREQ(ajson::json_impl<Envelope<Shape>>::field_list_text(), "code, message, data");
}

struct ColorCase {
  const char* json;
  int R, G, B;
};

TEST(RecordRead, MatchesKeysExactlyAndSkipsTheRest) {
  const ColorCase cases[] = {
      {"{}", 50, 50, 50},
      {"{\"R\":1,\"G\":2,\"B\":3,\"extra\":{\"a\":[1,2]}}", 1, 2, 3},
      {"{\"B\":3,\"R\":1}", 1, 50, 3},
      {"{R:1}", 1, 50, 50},
      {"{\"r\":1,\"g\":2,\"b\":3}", 50, 50, 50},
      {"{\"R\":1,\"R\":9}", 9, 50, 50},
      {"{\"x\":,\"R\":1}", 1, 50, 50},
      {"{\"}\":\"]\",\"G\":4}", 50, 4, 50},
      {"{\"deep\":[[[{\"R\":7}]],{\"k\":{}}],\"G\":5}", 50, 5, 50},
      {"{\"R\":\"TRUE\",\"G\":null,\"B\":\"off\"}", 1, 0, 0},
      {"// before\n{ /* inside */ \"R\" : 1 }", 1, 50, 50},
      {"{\"R\\u0041\":1}", 50, 50, 50},
  };
  for (const auto& c : cases) {
    Color color;
    ASSERT_EQ(read_error(c.json, color), "") << c.json;
    EXPECT_EQ(color.R, c.R) << c.json;
    EXPECT_EQ(color.G, c.G) << c.json;
    EXPECT_EQ(color.B, c.B) << c.json;
  }
}

struct FaultCase {
  const char* json;
  const char* message;
};

TEST(RecordRead, ReportsMalformedObjectsWithTheirPosition) {
  const FaultCase cases[] = {
      {"", "error at line :0 col :0 msg:read object must start with {!"},
      {"[1]", "error at line :0 col :1 msg:read object must start with {!"},
      {"{1:2}", "error at line :0 col :2 msg:object key must be string"},
      {"{\"R\":1,}", "error at line :0 col :8 msg:object key must be string"},
      {"{\"R\" 1}", "error at line :0 col :6 msg:invalid json document!"},
      {"{\"R\":1 \"G\":2}", "error at line :0 col :10 msg:invalid json document!"},
      {"{\"R\":1", "error at line :0 col :6 msg:invalid json document!"},
      {"{\"R\":[]}", "error at line :0 col :6 msg:not a valid signed integral like number."},
      {"{\"x\":[1, }}", "error at line :0 col :10 msg:invalid json document!"},
      {"{\"x\":{\"a\" 1}}", "error at line :0 col :11 msg:invalid json document!"},
      {"{\"x\":[1,2", "error at line :0 col :9 msg:invalid json document!"},
      {"{\"R\":1}x", "error at line :0 col :8 msg:not a valid string!"},
  };
  for (const auto& c : cases) {
    Color color;
    EXPECT_EQ(read_error(c.json, color), c.message) << c.json;
  }
}

TEST(RecordRead, KeepsWhatWasReadBeforeAFault) {
  Envelope<Color> reply;
  EXPECT_EQ(read_error("{\"code\":7,\"message\":", reply), "error at line :0 col :20 msg:not a valid string.");
  EXPECT_EQ(reply.code, 7);

  Color color;
  EXPECT_NE(read_error("{\"R\":1,\"G\":2 \"B\":3}", color), "");
  EXPECT_EQ(color.R, 1);
  EXPECT_EQ(color.G, 2);
  EXPECT_EQ(color.B, 50);
}

TEST(RecordRead, ReadsNestedRecordsAndArraysInPlace) {
  Shape shape;
  ASSERT_EQ(read_error("{\"layerId\":3,\"color\":{},\"pos\":{\"y\":-4},\"tags\":[{\"id\":4},{\"id\":9}],"
                       "\"pos\":{\"x\":2},\"tags\":[{\"other\":1},]}",
                       shape),
            "");
  EXPECT_EQ(shape.layerId, 3);
  EXPECT_EQ(shape.pos.x, 2);
  EXPECT_EQ(shape.pos.y, -4);  // a repeated record key reads over the current values
  EXPECT_EQ(shape.color.R, 50);
  ASSERT_EQ(shape.tags.size(), 3u);  // a repeated array key collects both arrays
  EXPECT_EQ(shape.tags[0].id, 4);
  EXPECT_EQ(shape.tags[1].id, 9);
  EXPECT_EQ(shape.tags[2].id, 0);
}

TEST(ArrayRead, AppendsElementsAndAcceptsATrailingComma) {
  struct Case {
    const char* json;
    std::size_t count;
  };
  const Case cases[] = {{"[]", 0}, {"[{}]", 1}, {"[{\"id\":1},]", 1}, {"[{},{},{}]", 3}};
  for (const auto& c : cases) {
    std::vector<codec_test::Tag> tags;
    ASSERT_EQ(read_error(c.json, tags), "") << c.json;
    EXPECT_EQ(tags.size(), c.count) << c.json;
  }
  std::vector<codec_test::Tag> kept(2);
  ASSERT_EQ(read_error("[{\"id\":5}]", kept), "");
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[2].id, 5);
}

TEST(ArrayRead, ReportsMalformedArrays) {
  const FaultCase cases[] = {
      {"", "error at line :0 col :0 msg:array must start with [."},
      {"{}", "error at line :0 col :1 msg:array must start with [."},
      {"[{\"id\":1}{\"id\":2}]", "error at line :0 col :10 msg:no valid array!"},
      {"[1]", "error at line :0 col :2 msg:read object must start with {!"},
      {"[{},,]", "error at line :0 col :5 msg:read object must start with {!"},
  };
  for (const auto& c : cases) {
    std::vector<codec_test::Tag> tags;
    EXPECT_EQ(read_error(c.json, tags), c.message) << c.json;
  }
  Shape shape;
  EXPECT_EQ(read_error("{\"tags\":{}}", shape), "error at line :0 col :9 msg:array must start with [.");
}

TEST(RecordWrite, WritesEveryMemberInListOrderWithoutSpaces) {
  Shape shape;
  shape.layerId = 1;
  shape.pos = {2, -3};
  shape.tags = {{4}, {-5}};
  EXPECT_EQ(write_text(shape),
            "{\"layerId\":1,\"pos\":{\"x\":2,\"y\":-3},\"color\":{\"R\":50,\"G\":50,\"B\":50},"
            "\"tags\":[{\"id\":4},{\"id\":-5}]}");
  EXPECT_EQ(write_text(std::vector<codec_test::Tag>{}), "[]");
  Report report;
  report.source = "dev\"1";
  report.seq = 4000000000u;
  report.code = 65535;
  EXPECT_EQ(write_text(report), "{\"source\":\"dev\\\"1\",\"seq\":4000000000,\"code\":65535,\"body\":\"\"}");
}

TEST(Skip, PassesOverNestedValuesWithOptionalCommas) {
  ajson::reader rd("[1 2 {\"k\":[3]} ,, \"s\"] next ", UINT64_MAX);
  rd.next();
  ajson::skip(rd);
  ASSERT_EQ(rd.token.kind, ajson::tk_string);
  EXPECT_EQ(std::string(rd.token.text.str, rd.token.text.len), "next");

  ajson::reader closer("] ", UINT64_MAX);
  closer.next();
  ajson::skip(closer);
  EXPECT_TRUE(closer.is_control(']'));
}

TEST(Skip, SurvivesDeepNestingWithoutRecursion) {
  const std::size_t depth = 200000;
  std::string deep = "{\"x\":" + std::string(depth, '[') + std::string(depth, ']') + ",\"R\":1}";
  Color color;
  ASSERT_EQ(read_error(deep.c_str(), color), "");
  EXPECT_EQ(color.R, 1);

  std::string mixed = "{\"x\":";
  for (std::size_t i = 0; i < 1000; ++i) mixed += (i % 3 == 0) ? "{\"k\":" : "[";
  for (std::size_t i = 1000; i-- > 0;) mixed += (i % 3 == 0) ? "}" : "]";
  mixed += ",\"G\":2}";
  ASSERT_EQ(read_error(mixed.c_str(), color), "");
  EXPECT_EQ(color.G, 2);

  std::string unclosed = "{\"x\":" + std::string(100000, '[');
  EXPECT_EQ(read_error(unclosed.c_str(), color), "error at line :0 col :100005 msg:invalid json document!");
}

}  // namespace
