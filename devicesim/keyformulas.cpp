#include "devicesim/keyformulas.h"

#include <algorithm>
#include <cmath>

namespace LCD {
namespace DeviceSim {
namespace {

using ProtoModel::Layer::s_Brightness;
using ProtoModel::Layer::s_Hue;
using ProtoModel::Layer::s_SetCutout;

constexpr int kBrightnessType = 0;
constexpr int kHueType = 1;
// A hue clip or ramp of 100 spans this many degrees of hue.
constexpr float kHueSpan = 90.0F;

float unit(float value) { return std::clamp(value, 0.0F, 1.0F); }

float percent(std::int32_t setting) { return static_cast<float>(std::clamp(setting, 0, 100)) / 100.0F; }

int channel(std::int32_t value) { return std::clamp(value, 0, 255); }

float luma(const Rgb& pixel) { return 0.2126F * pixel.r + 0.7152F * pixel.g + 0.0722F * pixel.b; }

struct Hsv {
  float hue;  // degrees, 0 for a grey
  float saturation;
  float value;
};

Hsv hsvOf(const Rgb& pixel) {
  const float r = channel(pixel.r) / 255.0F;
  const float g = channel(pixel.g) / 255.0F;
  const float b = channel(pixel.b) / 255.0F;
  const float high = std::max({r, g, b});
  const float range = high - std::min({r, g, b});
  if (range == 0.0F) {
    return {0.0F, 0.0F, high};
  }
  float hue = high == r ? (g - b) / range : high == g ? 2.0F + (b - r) / range : 4.0F + (r - g) / range;
  hue = std::fmod(hue * 60.0F + 360.0F, 360.0F);
  return {hue, range / high, high};
}

float hueDistance(float a, float b) {
  const float apart = std::fabs(a - b);
  return std::min(apart, 360.0F - apart);
}

// 1 within the hard range (hueClip), falling to 0 across the soft range
// (hueRamp, widened by edgeSmooth) beyond it.
float hueMatch(const Hsv& pixel, const s_Hue& key) {
  const float distance = hueDistance(pixel.hue, hsvOf({key.color.R, key.color.G, key.color.B}).hue);
  const float clip = kHueSpan * percent(key.hueClip);
  const float ramp = kHueSpan * (percent(key.hueRamp) + percent(key.edgeSmooth));
  if (distance <= clip) {
    return 1.0F;
  }
  return ramp > 0.0F ? unit(1.0F - (distance - clip) / ramp) : 0.0F;
}

// Greys carry no hue: colours less saturated than saturationClip are never
// keyed, and saturationGain steepens the rise above it.
float saturationMatch(const Hsv& pixel, const s_Hue& key) {
  const float gain = 1.0F + 10.0F * percent(key.saturationGain);
  return unit((pixel.saturation - percent(key.saturationClip)) * gain);
}

}  // namespace

float brightnessKeep(const Rgb& pixel, const s_Brightness& key) {
  const float threshold = static_cast<float>(channel(key.threshold));
  const float softEdge = 1.0F + 255.0F * percent(key.gain);
  return unit((luma(pixel) - threshold) / softEdge);
}

float hueKeep(const Rgb& pixel, const s_Hue& key) {
  const Hsv hsv = hsvOf(pixel);
  // shadow and highLigh hold back the key on dark and on bright pixels.
  const float shadowHold = 1.0F - percent(key.shadow) * (1.0F - hsv.value);
  const float highlightHold = 1.0F - percent(key.highLigh) * hsv.value;
  return 1.0F - hueMatch(hsv, key) * saturationMatch(hsv, key) * shadowHold * highlightHold;
}

float cutoutKeep(const Rgb& pixel, const s_SetCutout& cutout) {
  if (cutout.enable == 0) {
    return 1.0F;
  }
  switch (cutout.type) {
    case kBrightnessType: return brightnessKeep(pixel, cutout.brightness);
    case kHueType: return hueKeep(pixel, cutout.hue);
    default: return 1.0F;
  }
}

Rgb keptColour(const Rgb& pixel, const s_SetCutout& cutout) {
  if (cutout.enable == 0) {
    return pixel;
  }
  if (cutout.type == kBrightnessType && cutout.brightness.foregroundColor.enable != 0) {
    const auto& fill = cutout.brightness.foregroundColor;
    return {channel(fill.R), channel(fill.G), channel(fill.B)};
  }
  if (cutout.type != kHueType) {
    return pixel;
  }
  // Spill removal pulls what stays near the key hue towards its own grey.
  const float pull = percent(cutout.hue.spill) * hueMatch(hsvOf(pixel), cutout.hue);
  const float grey = luma(pixel);
  const auto towardsGrey = [pull, grey](int value) {
    return static_cast<int>(std::lround(static_cast<float>(value) + pull * (grey - static_cast<float>(value))));
  };
  return {towardsGrey(pixel.r), towardsGrey(pixel.g), towardsGrey(pixel.b)};
}

}  // namespace DeviceSim
}  // namespace LCD
