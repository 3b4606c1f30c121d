#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "proto/response.h"

namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

template <typename T>
std::string encoded(const T& value) {
  std::string out = "stale";
  encode(out, value);
  return out;
}

const char* const kLayerOne =
    R"({"layerId":1,"cutout":{"enable":0,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,"gain":50,)"
    R"("foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,"B":50},"hueClip":10,)"
    R"("hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,"shadow":0,"highLigh":0,"edgeSmooth":0}}})";

TEST(Encode, WritesTheCompactTextExactly) {
  EXPECT_EQ(encoded(s_ReadLayerCursorColor{2, {1, {640, 360}}}),
            R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":640,"y":360}}})");
  EXPECT_EQ(encoded(std::vector<s_LayerCutout>{}), "[]");

  // New layers numbered from 1; sixteen of them outgrow the first kibibyte several times.
  std::vector<s_LayerCutout> layers(16);
  std::string expected;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    layers[i].layerId = static_cast<int>(i + 1);
    expected += (i == 0 ? R"([{"layerId":)" : R"(,{"layerId":)") + std::to_string(i + 1) + (kLayerOne + 12);
  }
  EXPECT_EQ(encoded(layers), expected + "]");
}

// The report's members of every width, each kept to its low bits; a failure
// leaves what was read and says where it stopped.
TEST(Decode, FillsTheReportOrSaysWhereItStopped) {
  LCD::AutoReport::LCDAutoReportData report;
  std::string err = "untouched";
  ASSERT_TRUE(decode(R"({"source":"dev","seq":4294967297,"sn":"SN1","tl":{"CommandCode":528656,"ErrorCode":65537,)"
                     R"("UserDataLength":70000},"body":"[{\"layerId\":1}]"})",
                     report, err));
  EXPECT_EQ(encoded(report), R"({"source":"dev","seq":1,"sn":"SN1","tl":{"CommandCode":528656,"ErrorCode":1,)"
                             R"("UserDataLength":4464},"body":"[{\"layerId\":1}]"})");
  EXPECT_EQ(err, "untouched");
  s_nullResponse reply;
  EXPECT_FALSE(decode(std::string("{\"code\":5\0,\"message\":\"x\"}", 23), reply, err));
  EXPECT_EQ(encoded(reply) + err, R"({"code":5,"message":""}error at line :0 col :9 msg:invalid json document!)");
}

}  // namespace
