#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "proto/response.h"

namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

template <typename Record, std::size_t N>
std::vector<int> memory_words(const Record& record) {
  static_assert(sizeof(Record) == N * sizeof(int), "record is a flat run of ints");
  std::vector<int> words(N);
  std::memcpy(words.data(), &record, sizeof record);
  return words;
}

template <typename T>
std::string encoded(const T& value) {
  std::string out = "stale";
  encode(out, value);
  return out;
}

TEST(Records, NewRecordsHoldTheirDefaultsInMemoryOrder) {
  EXPECT_EQ((memory_words<s_LayerCutout, 21>(s_LayerCutout{})),
            (std::vector<int>{0, 0, 0, 0, 10, 50, 50, 50, 50, 0, 50, 50, 50, 10, 90, 5, 10, 100, 0, 0, 0}));
  EXPECT_EQ((memory_words<s_LayerCursorColorResult, 7>(s_LayerCursorColorResult{})),
            (std::vector<int>{0, 0, 0, 0, 50, 50, 50}));
  s_ReadLayerCursorColor request;
  request.layerId = 2;
  request.cursor.enable = 1;
  request.cursor.pos = {640, 360};
  EXPECT_EQ((memory_words<s_ReadLayerCursorColor, 4>(request)), (std::vector<int>{2, 1, 640, 360}));

  const LCD::AutoReport::LCDAutoReportData report;
  EXPECT_EQ(report.seq, 0u);
  EXPECT_EQ(report.tl.CommandCode, 0u);
  EXPECT_EQ(report.tl.ErrorCode, 0u);
  EXPECT_EQ(report.tl.UserDataLength, 0u);
}

TEST(Encode, ProducesTheExactCompactText) {
  s_ReadLayerCursorColor request;
  request.layerId = 2;
  request.cursor.enable = 1;
  request.cursor.pos = {640, 360};
  EXPECT_EQ(encoded(request), R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":640,"y":360}}})");

  std::vector<s_LayerCutout> layers(1);
  layers[0].layerId = 1;
  EXPECT_EQ(encoded(layers),
            R"([{"layerId":1,"cutout":{"enable":0,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,)"
            R"("gain":50,"foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,"B":50},)"
            R"("hueClip":10,"hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,"shadow":0,"highLigh":0,)"
            R"("edgeSmooth":0}}}])");
  EXPECT_EQ(encoded(std::vector<s_LayerCutout>{}), "[]");
}

TEST(Encode, WritesTheForegroundFlagFirstAndNegativesInFull) {
  s_LayerCutout layer;
  layer.cutout.brightness.foregroundColor = {1, 2, 3, 1};
  layer.cutout.hue.spill = INT_MIN;
  layer.layerId = -5;
  const std::string text = encoded(std::vector<s_LayerCutout>{layer});
  EXPECT_NE(text.find(R"("foregroundColor":{"enable":1,"R":1,"G":2,"B":3})"), std::string::npos) << text;
  EXPECT_NE(text.find(R"("spill":-2147483648,)"), std::string::npos) << text;
  EXPECT_EQ(text.rfind(R"([{"layerId":-5,)", 0), 0u) << text;
}

TEST(Encode, SixteenLayersRoundTripThroughDecode) {
  std::vector<s_LayerCutout> layers(16);
  for (int i = 0; i < 16; ++i) {
    layers[i].layerId = i + 1;
    layers[i].cutout.type = i % 3;
    layers[i].cutout.hue.color = {i, 255 - i, -i};
    layers[i].cutout.brightness.foregroundColor.enable = i % 2;
  }
  const std::string text = encoded(layers);
  std::vector<s_LayerCutout> back;
  std::string err;
  ASSERT_TRUE(decode(text, back, err)) << err;
  ASSERT_EQ(back.size(), layers.size());
  EXPECT_EQ(0, std::memcmp(back.data(), layers.data(), sizeof(s_LayerCutout) * layers.size()));
}

}  // namespace
