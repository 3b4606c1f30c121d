#include "devicesim/pngimage.h"

#include <png.h>

#include <stdexcept>

namespace LCD {
namespace DeviceSim {
namespace {

png_image describe(const RgbImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  // A picture for the page, made anew after each change: speed over size.
  png.flags = PNG_IMAGE_FLAG_FAST;
  return png;
}

}  // namespace

std::string encodePng(const RgbImage& image) {
  png_image png = describe(image);
  png_alloc_size_t size = 0;
  // The first call only measures.
  if (png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr) == 0) {
    throw std::runtime_error(std::string("cannot encode PNG: ") + png.message);
  }
  std::string bytes(size, '\0');
  if (png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr) == 0) {
    throw std::runtime_error(std::string("cannot encode PNG: ") + png.message);
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace DeviceSim
}  // namespace LCD
