#pragma once

#include <string>
#include <vector>

#include "ajson/ajson.hpp"

// Records of the shapes the codec meets in practice: flat integers, nesting,
// arrays of records, text and the unsigned widths.
namespace codec_test {

struct Color {
  int R = 50;
  int G = 50;
  int B = 50;
};

struct Point {
  int x = 0;
  int y = 0;
};

struct Tag {
  int id = 0;
};

struct Shape {
  int layerId = 0;
  Point pos;
  Color color;
  std::vector<Tag> tags;
};

struct Report {
  std::string source;
  unsigned int seq = 0;
  unsigned short code = 0;
  std::string body;
};

template <typename T>
struct Envelope {
  int code = 0;
  std::string message;
  T data;
};

// Reads text into a fresh T and returns the codec's error text, or "" on success.
template <typename T>
std::string read_error(const char* text, T& out) {
  try {
    ajson::read_document(text, out);
    return "";
  } catch (const ajson::exception& e) {
    return e.what();
  }
}

template <typename T>
std::string write_text(const T& value) {
  std::string out;
  ajson::write_document(out, value);
  return out;
}

}  // namespace codec_test

AJSON(codec_test::Color, R, G, B);
AJSON(codec_test::Point, x, y);
AJSON(codec_test::Tag, id);
AJSON(codec_test::Shape, layerId, pos, color, tags);
AJSON(codec_test::Report, source, seq, code, body);
AJSON_TEMPLATE(codec_test::Envelope, code, message, data);
