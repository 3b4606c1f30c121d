#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "proto/constants.h"
#include "proto/response.h"
#include "tests/ajson/cases.h"

namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

template <typename Record>
std::vector<int> memory_words(const Record& record) {
  std::vector<int> words(sizeof record / sizeof(int));
  std::memcpy(words.data(), &record, sizeof record);
  return words;
}

TEST(Records, NewRecordsHoldTheirDefaultsInMemoryOrder) {
  EXPECT_EQ(memory_words(s_LayerCutout{}),
            (std::vector<int>{0, 0, 0, 0, 10, 50, 50, 50, 50, 0, 50, 50, 50, 10, 90, 5, 10, 100, 0, 0, 0}));
  EXPECT_EQ(memory_words(s_LayerCursorColorResult{}), (std::vector<int>{0, 0, 0, 0, 50, 50, 50}));
}

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
  for (std::size_t count : {1, 16}) {
    std::vector<s_LayerCutout> layers(count);
    std::string expected = "[";
    for (std::size_t i = 0; i < count; ++i) {
      layers[i].layerId = static_cast<int>(i + 1);
      expected += (i == 0 ? R"({"layerId":)" : R"(,{"layerId":)") + std::to_string(i + 1) + (kLayerOne + 12);
    }
    EXPECT_EQ(encoded(layers), expected + "]");
  }
}

// The decoded value as JSON, written by the codec, for comparison with the table.
template <typename T>
nlohmann::json decoded(const std::string& json, std::string& err) {
  T value{};
  err = decode(json, value, err) ? "" : err;
  return nlohmann::json::parse(encoded(value));
}

// Columns: what the text is decoded into, the text, what the value holds
// afterwards (also after a failure), and the error text ("" for success).
TEST(Decode, FillsEnvelopesAndRecordsOrReportsThePositionedFault) {
  using Decoder = nlohmann::json (*)(const std::string&, std::string&);
  const std::map<std::string, Decoder> decoders = {
      {"null", decoded<s_nullResponse>},
      {"cursor reply", decoded<s_response<s_LayerCursorColorResult>>},
      {"assess reply", decoded<s_responseVector<s_LayerCutoutAssessResult>>},
      {"report", decoded<LCD::AutoReport::LCDAutoReportData>},
      {"cursor", decoded<s_LayerCursorColorResult>},
      {"layers", decoded<std::vector<s_LayerCutout>>},
  };
  for (const auto& c : codec_test::cases("decode")) {
    std::string err = "stale";
    EXPECT_EQ(decoders.at(c[0])(c[1], err), c[2]) << c[1];
    EXPECT_EQ(err, c[3]) << c[1];
  }
}

TEST(Constants, EveryPathLiesUnderTheBaseInItsArea) {
  std::vector<std::pair<std::string, std::string>> constants;  // name, text
#define LCD_CONSTANT(name, text) constants.emplace_back(#name, LCD::Proto::Constants::name);
  LCD_PROTO_CONSTANTS(LCD_CONSTANT)
#undef LCD_CONSTANT
  const std::string base = std::string(LCD::Proto::Constants::TAVROPROTOBASEURL) + "/";
  const std::set<std::string> areas = {"system", "node",    "interface",    "screen", "layers",
                                       "preset", "picture", "project-file", "ucenter"};
  std::set<std::string> distinct;
  std::size_t paths = 0;
  for (const auto& [name, text] : constants) {
    if (text.rfind("/tavro", 0) != 0 || text == base.substr(0, base.size() - 1)) continue;
    ++paths;
    distinct.insert(text);
    ASSERT_EQ(text.rfind(base, 0), 0u) << name;
    EXPECT_EQ(areas.count(text.substr(base.size(), text.find('/', base.size()) - base.size())), 1u) << name;
    EXPECT_EQ(text.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-/"), std::string::npos) << name;
    EXPECT_EQ(text.find("//"), std::string::npos) << name;
    EXPECT_NE(text.back(), '/') << name;
    EXPECT_NE(text.substr(text.size() - 6), "cursor") << name;
  }
  EXPECT_EQ(constants.size(), 130u);
  EXPECT_EQ(paths, 121u);
  EXPECT_EQ(distinct.size(), 111u);  // ten paths have two names each
}

}  // namespace
