#include "devicesim/layerimage.h"

#include "devicesim/keyformulas.h"

#include <algorithm>
#include <cmath>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kCheckerSquare = 8;
constexpr int kCheckerLight = 153;
constexpr int kCheckerDark = 102;
// The cursor: a square of the picked colour inside a ring that stands out from it.
constexpr int kCursorFill = 4;
constexpr int kCursorRing = 6;

int checkerAt(int x, int y) {
  return ((x / kCheckerSquare + y / kCheckerSquare) % 2 == 0) ? kCheckerLight : kCheckerDark;
}

std::uint8_t over(int layer, float keep, int background) {
  return static_cast<std::uint8_t>(std::lround(keep * static_cast<float>(layer) + (1.0F - keep) * background));
}

void put(RgbImage& image, int x, int y, const Rgb& colour) {
  if (x < 0 || x >= image.width || y < 0 || y >= image.height) {
    return;
  }
  std::uint8_t* pixel = &image.pixels[static_cast<std::size_t>((y * image.width + x) * 3)];
  pixel[0] = static_cast<std::uint8_t>(colour.r);
  pixel[1] = static_cast<std::uint8_t>(colour.g);
  pixel[2] = static_cast<std::uint8_t>(colour.b);
}

// The canvas's columns all hold one colour each, so the key is worked out
// once per image column and only the background varies down it.
void drawKeyedBars(RgbImage& image, const ProtoModel::Layer::s_SetCutout& cutout) {
  for (int x = 0; x < image.width; ++x) {
    const Rgb bar = colourBarAt(x * kImageScale + kImageScale / 2);
    const float keep = cutoutKeep(bar, cutout);
    const Rgb kept = keptColour(bar, cutout);
    for (int y = 0; y < image.height; ++y) {
      const int background = checkerAt(x, y);
      put(image, x, y,
          {over(kept.r, keep, background), over(kept.g, keep, background), over(kept.b, keep, background)});
    }
  }
}

void drawCursor(RgbImage& image, const ProtoModel::Layer::s_Pos& cursor) {
  const int canvasX = std::clamp(cursor.x, 0, kCanvasWidth - 1);
  const int canvasY = std::clamp(cursor.y, 0, kCanvasHeight - 1);
  const Rgb picked = colourBarAt(canvasX);
  const bool lightPick = picked.r + picked.g + picked.b > 3 * 127;
  const Rgb ring = lightPick ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
  const int centreX = canvasX / kImageScale;
  const int centreY = canvasY / kImageScale;
  for (int dy = -kCursorRing; dy <= kCursorRing; ++dy) {
    for (int dx = -kCursorRing; dx <= kCursorRing; ++dx) {
      const bool inFill = std::abs(dx) <= kCursorFill && std::abs(dy) <= kCursorFill;
      put(image, centreX + dx, centreY + dy, inFill ? picked : ring);
    }
  }
}

}  // namespace

Rgb RgbImage::at(int x, int y) const {
  const std::uint8_t* pixel = &pixels[static_cast<std::size_t>((y * width + x) * 3)];
  return {pixel[0], pixel[1], pixel[2]};
}

RgbImage renderLayer(const ProtoModel::Layer::s_SetCutout& cutout, const ProtoModel::Layer::s_Pos& cursor) {
  RgbImage image{kImageWidth, kImageHeight, std::vector<std::uint8_t>(kImageWidth * kImageHeight * 3)};
  drawKeyedBars(image, cutout);
  if (cutout.cursor.enable != 0) {
    drawCursor(image, cursor);
  }
  return image;
}

}  // namespace DeviceSim
}  // namespace LCD
