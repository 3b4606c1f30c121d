#pragma once

namespace LCD {
namespace DeviceSim {

// The picture the simulated device shows on every layer: eight vertical bars
// of 240 pixels on a 1920x1080 canvas, left to right white, yellow, cyan,
// green, magenta, red, blue, black, at full intensity.
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1080;

struct Rgb {
  int r;
  int g;
  int b;
};

bool onCanvas(int x, int y);

// The colour at column `x` of the canvas.
Rgb colourBarAt(int x);

// The name of a bar's colour ("white", ...), or null for a colour no bar shows.
const char* colourBarName(const Rgb& colour);

}  // namespace DeviceSim
}  // namespace LCD
