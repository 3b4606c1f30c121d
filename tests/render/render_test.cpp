#include "devicesim/keyformulas.h"
#include "devicesim/layerimage.h"
#include "devicesim/pngimage.h"
#include "tests/render/decodedpng.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace LCD::DeviceSim;
using LCD::ProtoModel::Layer::s_SetCutout;

bool same(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Cases named by their row's name.
const auto byName = [](const auto& info) { return std::string(info.param.name); };

s_SetCutout keyOfType(int type) {
  s_SetCutout cutout;
  cutout.enable = 1;
  cutout.type = type;
  return cutout;
}

// A setting swept from 0 to 255 (percentages stop at 100): the keyed-out part
// of every colour only grows (or only shrinks).
struct Sweep {
  const char* name;
  int type;
  void (*set)(s_SetCutout&, int);
  bool keyGrows;
};

const std::vector<Sweep> kSweeps{
    {"threshold", 0, [](s_SetCutout& c, int v) { c.brightness.threshold = v; }, true},
    {"gain", 0, [](s_SetCutout& c, int v) { c.brightness.gain = v; }, true},
    {"hueClip", 1, [](s_SetCutout& c, int v) { c.hue.hueClip = v; }, true},
    {"hueRamp", 1, [](s_SetCutout& c, int v) { c.hue.hueRamp = v; }, true},
    {"edgeSmooth", 1, [](s_SetCutout& c, int v) { c.hue.edgeSmooth = v; }, true},
    {"saturationClip", 1, [](s_SetCutout& c, int v) { c.hue.saturationClip = v; }, false},
    {"saturationGain", 1, [](s_SetCutout& c, int v) { c.hue.saturationGain = v; }, true},
    {"shadow", 1, [](s_SetCutout& c, int v) { c.hue.shadow = v; }, false},
    {"highLigh", 1, [](s_SetCutout& c, int v) { c.hue.highLigh = v; }, false},
};

class KeyMonotone : public testing::TestWithParam<Sweep> {};

TEST_P(KeyMonotone, KeyedPartMovesOneWayAndTheSettingMatters) {
  const Sweep& sweep = GetParam();
  s_SetCutout cutout = keyOfType(sweep.type);
  cutout.hue.color = {40, 200, 90};
  cutout.hue.hueRamp = 30;
  bool moved = false;
  for (int i = 0; i < 216; ++i) {  // the colours with each channel a multiple of 51
    const Rgb colour{i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51};
    sweep.set(cutout, 0);
    float before = cutoutKeep(colour, cutout);
    for (int value = 1; value <= 255; ++value) {
      sweep.set(cutout, value);
      const float keep = cutoutKeep(colour, cutout);
      ASSERT_TRUE(sweep.keyGrows ? keep <= before + 1e-6F : keep >= before - 1e-6F)
          << "colour (" << colour.r << ", " << colour.g << ", " << colour.b << "), " << sweep.name << " " << value;
      moved = moved || keep != before;
      before = keep;
    }
  }
  EXPECT_TRUE(moved) << sweep.name << " changed no colour's key";
}

INSTANTIATE_TEST_SUITE_P(Settings, KeyMonotone, testing::ValuesIn(kSweeps), byName);

// The six hues of the bars, 60 degrees apart. The hue key with its default
// ranges reaches 90 degrees: hues two steps or more from the key's, and the
// greys, stay whole.
const std::vector<Rgb> kHues{{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};

class HueKey : public testing::TestWithParam<int> {};

TEST_P(HueKey, KeysItsOwnColourAndNeitherFarHuesNorGreys) {
  s_SetCutout cutout = keyOfType(1);
  const Rgb key = kHues[GetParam()];
  cutout.hue.color = {key.r, key.g, key.b};
  EXPECT_LT(cutoutKeep(key, cutout), 0.01F) << "the key's own colour stays";
  EXPECT_TRUE(cutoutKeep({255, 255, 255}, cutout) == 1.0F && cutoutKeep({0, 0, 0}, cutout) == 1.0F) << "a grey went";
  for (int other = 0; other < 6; ++other) {
    const int steps = std::abs(other - GetParam());
    EXPECT_TRUE(std::min(steps, 6 - steps) < 2 || cutoutKeep(kHues[other], cutout) == 1.0F)
        << colourBarName(kHues[other]);
  }
}

INSTANTIATE_TEST_SUITE_P(KeyColours, HueKey, testing::Range(0, 6),
                         [](const auto& info) { return std::string(colourBarName(kHues[info.param])); });

// The cursor, on a layer keyed out entirely, changes only the pixels around
// its position and shows there the colour it picks up, also through the PNG.
struct CursorAt {
  const char* name;
  LCD::ProtoModel::Layer::s_Pos at;
};

const std::vector<CursorAt> kCursors{{"inRedBar", {1300, 300}}, {"topLeft", {0, 0}}, {"bottomRight", {1919, 1079}}};

class CursorMark : public testing::TestWithParam<CursorAt> {};

TEST_P(CursorMark, DrawnWhereItIs) {
  s_SetCutout cutout = keyOfType(0);
  cutout.brightness.threshold = 255;
  const RgbImage without = renderLayer(cutout, GetParam().at);
  cutout.cursor.enable = 1;
  const RgbImage with = decodePng(encodePng(renderLayer(cutout, GetParam().at)));
  ASSERT_EQ(with.pixels.size(), without.pixels.size()) << "the PNG does not decode to the layer's size";
  const int cx = GetParam().at.x / kImageScale, cy = GetParam().at.y / kImageScale;
  EXPECT_TRUE(same(with.at(cx, cy), colourBarAt(GetParam().at.x)));
  for (int i = 0; i < with.width * with.height; ++i) {
    const int x = i % with.width, y = i / with.width;
    ASSERT_TRUE(same(with.at(x, y), without.at(x, y)) || std::max(std::abs(x - cx), std::abs(y - cy)) <= 6)
        << "changed pixel (" << x << ", " << y << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(Positions, CursorMark, testing::ValuesIn(kCursors), byName);

}  // namespace
