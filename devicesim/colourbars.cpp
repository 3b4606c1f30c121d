#include "devicesim/colourbars.h"

#include <array>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kBarCount = 8;
constexpr int kBarWidth = kCanvasWidth / kBarCount;

constexpr std::array<Rgb, kBarCount> kBars{{
    {255, 255, 255},
    {255, 255, 0},
    {0, 255, 255},
    {0, 255, 0},
    {255, 0, 255},
    {255, 0, 0},
    {0, 0, 255},
    {0, 0, 0},
}};

}  // namespace

bool onCanvas(int x, int y) { return x >= 0 && x < kCanvasWidth && y >= 0 && y < kCanvasHeight; }

Rgb colourBarAt(int x) { return kBars[static_cast<std::size_t>(x / kBarWidth)]; }

}  // namespace DeviceSim
}  // namespace LCD
