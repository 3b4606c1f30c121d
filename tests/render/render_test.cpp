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

s_SetCutout keyOfType(int type) {
  s_SetCutout cutout;
  cutout.enable = 1;
  cutout.type = type;
  return cutout;
}

// A setting swept from 0 to `top`: the keyed-out part of every colour only grows (or only shrinks).
struct Sweep {
  const char* name;
  int type;
  void (*set)(s_SetCutout&, int);
  int top;
  bool keyGrows;
};

const std::vector<Sweep> kSweeps{
    {"threshold", 0, [](s_SetCutout& c, int v) { c.brightness.threshold = v; }, 255, true},
    {"gain", 0, [](s_SetCutout& c, int v) { c.brightness.gain = v; }, 100, true},
    {"hueClip", 1, [](s_SetCutout& c, int v) { c.hue.hueClip = v; }, 100, true},
    {"hueRamp", 1, [](s_SetCutout& c, int v) { c.hue.hueRamp = v; }, 100, true},
    {"edgeSmooth", 1, [](s_SetCutout& c, int v) { c.hue.edgeSmooth = v; }, 100, true},
    {"saturationClip", 1, [](s_SetCutout& c, int v) { c.hue.saturationClip = v; }, 100, false},
    {"saturationGain", 1, [](s_SetCutout& c, int v) { c.hue.saturationGain = v; }, 100, true},
    {"shadow", 1, [](s_SetCutout& c, int v) { c.hue.shadow = v; }, 100, false},
    {"highLigh", 1, [](s_SetCutout& c, int v) { c.hue.highLigh = v; }, 100, false},
};

void PrintTo(const Sweep& row, std::ostream* out) { *out << row.name; }

class KeyMonotone : public testing::TestWithParam<Sweep> {};

TEST_P(KeyMonotone, KeyedPartMovesOneWayAndTheSettingMatters) {
  const Sweep& sweep = GetParam();
  s_SetCutout cutout = keyOfType(sweep.type);
  cutout.hue.color = {40, 200, 90};
  cutout.hue.hueRamp = 30;
  bool moved = false;
  for (int r = 0; r < 256; r += 51) {
    for (int g = 0; g < 256; g += 51) {
      for (int b = 0; b < 256; b += 51) {
        sweep.set(cutout, 0);
        float before = cutoutKeep({r, g, b}, cutout);
        for (int value = 1; value <= sweep.top; ++value) {
          sweep.set(cutout, value);
          const float keep = cutoutKeep({r, g, b}, cutout);
          ASSERT_TRUE(sweep.keyGrows ? keep <= before + 1e-6F : keep >= before - 1e-6F)
              << "colour (" << r << ", " << g << ", " << b << "), " << sweep.name << " " << value;
          moved = moved || keep != before;
          before = keep;
        }
      }
    }
  }
  EXPECT_TRUE(moved) << sweep.name << " changed no colour's key";
}

INSTANTIATE_TEST_SUITE_P(Settings, KeyMonotone, testing::ValuesIn(kSweeps),
                         [](const auto& info) { return std::string(info.param.name); });

// The hue key with its default ranges reaches 90 degrees of hue: the bars a
// third of the wheel or more away from the key's hue, and the greys, stay whole.
struct HueKey {
  const char* name;
  Rgb key;
  std::vector<Rgb> far;
};

const std::vector<HueKey> kHueKeys{
    {"red", {255, 0, 0}, {{0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}}},
    {"green", {0, 255, 0}, {{255, 0, 0}, {255, 0, 255}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}}},
    {"cyan", {0, 255, 255}, {{255, 0, 0}, {255, 255, 0}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}}},
};

void PrintTo(const HueKey& row, std::ostream* out) { *out << row.name; }

class FarFromHueKey : public testing::TestWithParam<HueKey> {};

TEST_P(FarFromHueKey, NeverKeyed) {
  s_SetCutout cutout = keyOfType(1);
  cutout.hue.color = {GetParam().key.r, GetParam().key.g, GetParam().key.b};
  EXPECT_LT(cutoutKeep(GetParam().key, cutout), 0.01F) << "the key's own colour stays";
  for (const Rgb& colour : GetParam().far) {
    EXPECT_EQ(cutoutKeep(colour, cutout), 1.0F) << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(KeyColours, FarFromHueKey, testing::ValuesIn(kHueKeys),
                         [](const auto& info) { return std::string(info.param.name); });

// The cursor, on a layer keyed out entirely, changes only the pixels around
// its position and shows there the colour it picks up.
struct CursorAt {
  const char* name;
  int x;
  int y;
};

const std::vector<CursorAt> kCursors{{"inGreenBar", 900, 300}, {"topLeft", 0, 0}, {"bottomRight", 1919, 1079}};

void PrintTo(const CursorAt& row, std::ostream* out) { *out << row.name; }

class CursorMark : public testing::TestWithParam<CursorAt> {};

TEST_P(CursorMark, DrawnWhereItIs) {
  s_SetCutout cutout = keyOfType(0);
  cutout.brightness.threshold = 255;
  const RgbImage without = renderLayer(cutout, {GetParam().x, GetParam().y});
  cutout.cursor.enable = 1;
  const RgbImage with = renderLayer(cutout, {GetParam().x, GetParam().y});
  const int cx = GetParam().x / kImageScale, cy = GetParam().y / kImageScale;
  EXPECT_TRUE(same(with.at(cx, cy), colourBarAt(GetParam().x)));
  for (int y = 0; y < with.height; ++y) {
    for (int x = 0; x < with.width; ++x) {
      if (!same(with.at(x, y), without.at(x, y))) {
        ASSERT_LE(std::max(std::abs(x - cx), std::abs(y - cy)), 6) << "changed pixel (" << x << ", " << y << ")";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Positions, CursorMark, testing::ValuesIn(kCursors),
                         [](const auto& info) { return std::string(info.param.name); });

// A layer whose cutout is off comes back from its PNG as the bars themselves.
TEST(LayerPng, OffLayerRoundTripsAsTheBars) {
  s_SetCutout off;
  off.brightness.threshold = 255;
  const RgbImage image = renderLayer(off, {});
  const RgbImage decoded = decodePng(encodePng(image));
  ASSERT_TRUE(decoded.width == kImageWidth && decoded.height == kImageHeight && decoded.pixels == image.pixels);
  for (int x = 0; x < kImageWidth; ++x) {
    ASSERT_TRUE(same(decoded.at(x, kImageHeight / 2), colourBarAt(x * kImageScale))) << "column " << x;
  }
}

}  // namespace
