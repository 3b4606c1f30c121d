#pragma once

#include "devicesim/layerimage.h"

#include <png.h>

#include <string>

// A PNG file's pixels as 8-bit RGB, through libpng; width 0 when it does not decode.
inline LCD::DeviceSim::RgbImage decodePng(const std::string& bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()) == 0) return {};
  png.format = PNG_FORMAT_RGB;
  LCD::DeviceSim::RgbImage image{static_cast<int>(png.width), static_cast<int>(png.height), {}};
  image.pixels.resize(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr) == 0) return {};
  return image;
}
