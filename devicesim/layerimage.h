#pragma once

#include "devicesim/colourbars.h"
#include "proto/layercutout.h"

#include <cstdint>
#include <vector>

namespace LCD {
namespace DeviceSim {

// A layer's picture at a quarter of the canvas each way.
constexpr int kImageScale = 4;
constexpr int kImageWidth = kCanvasWidth / kImageScale;
constexpr int kImageHeight = kCanvasHeight / kImageScale;

// 8-bit RGB pixels, row by row from the top left.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  Rgb at(int x, int y) const;
};

// The colour bars keyed by `cutout` over a neutral grey checkerboard, with
// the cutout cursor, when it is on, at `cursor` (canvas coordinates) in the
// colour it picks up there.
RgbImage renderLayer(const ProtoModel::Layer::s_SetCutout& cutout, const ProtoModel::Layer::s_Pos& cursor);

}  // namespace DeviceSim
}  // namespace LCD
