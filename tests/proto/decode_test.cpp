#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "proto/response.h"

namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;
using LCD::AutoReport::LCDAutoReportData;

bool ends_with(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Expected error: "" for success, a full text, or "..." followed by the suffix.
void expect_outcome(bool ok, const std::string& err, const std::string& expected) {
  if (expected.empty()) {
    EXPECT_TRUE(ok) << err;
  } else if (expected.rfind("...", 0) == 0) {
    EXPECT_FALSE(ok);
    EXPECT_TRUE(ends_with(err, expected.substr(3))) << err;
  } else {
    EXPECT_FALSE(ok);
    EXPECT_EQ(err, expected);
  }
}

struct EnvelopeCase {
  const char* json;
  const char* expected;
  int code;
  const char* message;
};

TEST(DecodeNullResponse, FollowsTheEnvelopeRules) {
  const EnvelopeCase cases[] = {
      {"", "error at line :0 col :0 msg:read object must start with {!", 0, ""},
      {R"({"code":0})", "", 0, ""},
      {R"({"message":"x"})", "", 0, "x"},
      {R"({"code":"x"})", "", 0, ""},
      {R"({"code":[]})", "...msg:not a valid signed integral like number.", 0, ""},
      {R"({"code":0,"message":5})", "...msg:not a valid string.", 0, ""},
      {R"({"code":0 "message":""})", "...msg:invalid json document!", 0, ""},
      {R"({"code":3,"message":"busy"} [garbage)", "", 3, "busy"},
      {R"({"code":0} x)", "...msg:not a valid string!", 0, ""},
      {R"({"code":7,"message":)", "...msg:not a valid string.", 7, ""},
      {R"({"code":0,"message":"ok","extra":{"a":[1,{"b":null}]}})", "", 0, "ok"},
      {"{\"code\":1,\"message\":\"a\\u00e9\"}\n", "", 1, "a\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    s_nullResponse reply;
    std::string err;
    expect_outcome(decode(c.json, reply, err), err, c.expected);
    EXPECT_EQ(reply.code, c.code);
    EXPECT_EQ(reply.message, c.message);
  }
}

TEST(DecodeCursorReply, ReadsDataAsARecordAndKeepsDefaults) {
  s_response<s_LayerCursorColorResult> reply;
  std::string err;
  ASSERT_TRUE(decode(R"({"code":0,"data":{}})", reply, err)) << err;
  EXPECT_EQ(reply.data.cursor.color.R, 50);

  s_response<s_LayerCursorColorResult> full;
  ASSERT_TRUE(decode(R"({"data":{"layerId":3,"cursor":{"enable":true,"pos":{"x":12.9,"y":"640px"},)"
                     R"("color":{"r":1,"G":-12.9,"B":"TRUE"}}},"code":0,"message":"ok"})",
                     full, err))
      << err;
  EXPECT_EQ(full.data.layerId, 3);
  EXPECT_EQ(full.data.cursor.enable, 1);
  EXPECT_EQ(full.data.cursor.pos.x, 12);
  EXPECT_EQ(full.data.cursor.pos.y, 640);
  EXPECT_EQ(full.data.cursor.color.R, 50);  // "r" is not "R"
  EXPECT_EQ(full.data.cursor.color.G, -12);
  EXPECT_EQ(full.data.cursor.color.B, 1);
  EXPECT_EQ(full.message, "ok");
}

TEST(DecodeAssessReply, ReadsResultsWithTheirInterfaces) {
  struct Case {
    const char* json;
    const char* expected;
    std::vector<std::vector<int>> interfaces;  // per result
  };
  const Case cases[] = {
      {R"({"code":0,"data":[{"layerId":1}],"message":"ok"})", "", {{}}},
      {R"({"data":[{"layerId":1},]})", "", {{}}},
      {R"({"data":[{"interfaces":[]}]})", "", {{}}},
      {R"({"data":[{"interfaces":[{"interfaceId":4},{"interfaceId":9}]}]})", "", {{4, 9}}},
      {R"({"data":[{"interfaces":[{"id":4}]},{"interfaces":[{"interfaceId":1}],"interfaces":[{"interfaceId":2}]}]})",
       "",
       {{0}, {1, 2}}},
      {R"({"data":[{"interfaces":{}}]})", "...msg:array must start with [.", {{}}},
      {R"({"data":[{"interfaces":[{"interfaceId":1} 2]}]})", "...msg:no valid array!", {{1}}},
      {R"({"data":{}})", "...msg:array must start with [.", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    s_responseVector<s_LayerCutoutAssessResult> reply;
    std::string err;
    expect_outcome(decode(c.json, reply, err), err, c.expected);
    ASSERT_EQ(reply.data.size(), c.interfaces.size());
    for (std::size_t i = 0; i < c.interfaces.size(); ++i) {
      std::vector<int> ids;
      for (const auto& entry : reply.data[i].interfaces) ids.push_back(entry.interfaceId);
      EXPECT_EQ(ids, c.interfaces[i]);
    }
  }
}

TEST(DecodeLayerCutouts, FillsOmittedMembersWithDefaults) {
  std::vector<s_LayerCutout> layers;
  std::string err;
  ASSERT_TRUE(decode(R"([{"layerId":7},{"cutout":{"hue":{"highLight":1,"highLigh":2},"enable":"1"}}])", layers, err))
      << err;
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_EQ(layers[0].layerId, 7);
  EXPECT_EQ(layers[0].cutout.brightness.threshold, 10);
  EXPECT_EQ(layers[0].cutout.hue.hueRamp, 90);
  EXPECT_EQ(layers[0].cutout.hue.spill, 100);
  EXPECT_EQ(layers[1].cutout.hue.highLigh, 2);
  EXPECT_EQ(layers[1].cutout.enable, 1);

  std::vector<s_LayerCutout> none;
  EXPECT_TRUE(decode("[]", none, err));
  EXPECT_TRUE(none.empty());
  std::string empty_err;
  EXPECT_FALSE(decode("", none, empty_err));
  EXPECT_EQ(empty_err, "error at line :0 col :0 msg:array must start with [.");
}

TEST(DecodeAutoReport, ReadsTheEnvelopeAndItsUnsignedWidths) {
  struct Case {
    const char* json;
    const char* expected;
    unsigned seq;
    unsigned error_code;
  };
  const Case cases[] = {
      {R"({"source":"dev","seq":4294967297,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":65537},"body":"[]"})", "", 1,
       1},
      {R"({"tl":{"ErrorCode":3}})", "", 0, 3},
      {R"({"body":"x"})", "", 0, 0},
      {R"({"tl":{"ErrorCode":-1}})", "...msg:assign a negative signed integral to unsigned integral number.", 0, 0},
      {R"({"seq":-0.5})", "...msg:assign a negative float point to unsigned integral number.", 0, 0},
      {R"({"seq":[]})", "...msg:not a valid unsigned integral like number.", 0, 0},
      {R"({"body":5})", "...msg:not a valid string.", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    LCDAutoReportData report;
    std::string err;
    expect_outcome(decode(c.json, report, err), err, c.expected);
    EXPECT_EQ(report.seq, c.seq);
    EXPECT_EQ(report.tl.ErrorCode, c.error_code);
  }
}

TEST(DecodeAutoReport, BodyIsDecodedInASecondStep) {
  const std::string text =
      R"({"source":"d","seq":1,"sn":"s","tl":{"CommandCode":0,"ErrorCode":0,"UserDataLength":0},)"
      R"("body":"{\"layerId\":4,\"cursor\":{\"pos\":{\"x\":10,\"y\":20},\"color\":{\"R\":1,\"G\":2,\"B\":3}}}"})";
  LCDAutoReportData report;
  std::string err;
  ASSERT_TRUE(decode(text, report, err)) << err;
  s_LayerCursorColorResult cursor;
  ASSERT_TRUE(decode(report.body, cursor, err)) << err;
  EXPECT_EQ(cursor.layerId, 4);
  EXPECT_EQ(cursor.cursor.pos.y, 20);
  EXPECT_EQ(cursor.cursor.color.B, 3);
  EXPECT_EQ(cursor.cursor.enable, 0);
}

}  // namespace
