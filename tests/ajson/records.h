#pragma once

#include <string>
#include <vector>

#include "ajson/ajson.hpp"

// Records of the shapes the codec maps: flat integers, a nested record, an
// array of records and text.
namespace codec_test {

struct Rgb {
  int R = 50;
  int G = 50;
  int B = 50;
};

struct Box {
  Rgb color;
  std::vector<Rgb> items;
  std::string name;
};

}  // namespace codec_test

AJSON(codec_test::Rgb, R, G, B);
AJSON(codec_test::Box, color, items, name);
