#include "devicesim/colourbars.h"

#include <array>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kBarCount = 8;
constexpr int kBarWidth = kCanvasWidth / kBarCount;

struct Bar {
  Rgb colour;
  const char* name;
};

constexpr std::array<Bar, kBarCount> kBars{{
    {{255, 255, 255}, "white"},
    {{255, 255, 0}, "yellow"},
    {{0, 255, 255}, "cyan"},
    {{0, 255, 0}, "green"},
    {{255, 0, 255}, "magenta"},
    {{255, 0, 0}, "red"},
    {{0, 0, 255}, "blue"},
    {{0, 0, 0}, "black"},
}};

}  // namespace

bool onCanvas(int x, int y) { return x >= 0 && x < kCanvasWidth && y >= 0 && y < kCanvasHeight; }

Rgb colourBarAt(int x) { return kBars[static_cast<std::size_t>(x / kBarWidth)].colour; }

const char* colourBarName(const Rgb& colour) {
  for (const Bar& bar : kBars) {
    if (bar.colour.r == colour.r && bar.colour.g == colour.g && bar.colour.b == colour.b) return bar.name;
  }
  return nullptr;
}

}  // namespace DeviceSim
}  // namespace LCD
