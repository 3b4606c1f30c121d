#pragma once

#include "devicesim/layerimage.h"

#include <string>

namespace LCD {
namespace DeviceSim {

// The image as the bytes of a PNG file (libpng). Throws std::runtime_error
// when libpng cannot encode it.
std::string encodePng(const RgbImage& image);

}  // namespace DeviceSim
}  // namespace LCD
