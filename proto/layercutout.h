#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "ajson/ajson.hpp"

// Layer cutout records. They travel as JSON to and from the device and, inside
// the host process, as raw in-memory payloads, so member order, widths and
// defaults are part of the contract with every component that shares them.

namespace LCD {
namespace ProtoModel {

struct s_RGB {
  std::int32_t R = 50;
  std::int32_t G = 50;
  std::int32_t B = 50;
};

namespace Layer {

struct s_Pos {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct s_SetCursor {
  std::int32_t enable = 0;
};

// Stored as colour then flag; its JSON form puts "enable" first.
struct s_ForegroundColor {
  std::int32_t R = 50;
  std::int32_t G = 50;
  std::int32_t B = 50;
  std::int32_t enable = 0;
};

struct s_Brightness {
  std::int32_t threshold = 10;
  std::int32_t gain = 50;
  s_ForegroundColor foregroundColor;
};

struct s_Hue {
  s_RGB color;
  std::int32_t hueClip = 10;
  std::int32_t hueRamp = 90;
  std::int32_t saturationClip = 5;
  std::int32_t saturationGain = 10;
  std::int32_t spill = 100;
  std::int32_t shadow = 0;
  std::int32_t highLigh = 0;
  std::int32_t edgeSmooth = 0;
};

struct s_SetCutout {
  std::int32_t enable = 0;
  s_SetCursor cursor;
  std::int32_t type = 0;
  s_Brightness brightness;
  s_Hue hue;
};

struct s_LayerCutout {
  std::int32_t layerId = 0;
  s_SetCutout cutout;
};

struct s_ReadCursor {
  std::int32_t enable = 0;
  s_Pos pos;
};

struct s_ReadLayerCursorColor {
  std::int32_t layerId = 0;
  s_ReadCursor cursor;
};

struct s_Cursor {
  std::int32_t enable = 0;
  s_Pos pos;
  s_RGB color;
};

struct s_LayerCursorColorResult {
  std::int32_t layerId = 0;
  s_Cursor cursor;
};

struct s_InterfaceId {
  std::int32_t interfaceId = 0;
};

struct s_LayerCutoutAssessResult {
  std::int32_t layerId = 0;
  std::int32_t state = 0;
  std::vector<s_InterfaceId> interfaces;
};

}  // namespace Layer
}  // namespace ProtoModel

namespace AutoReport {

struct AutoReportTLVDataMessage {
  std::uint32_t CommandCode = 0;
  std::uint16_t ErrorCode = 0;  // zero also when a report carries no "tl": no error
  std::uint16_t UserDataLength = 0;
};

struct LCDAutoReportData {
  std::string source;
  std::uint32_t seq = 0;
  std::string sn;
  AutoReportTLVDataMessage tl;
  std::string body;  // JSON text of the reported record, decoded in a second step
};

}  // namespace AutoReport
}  // namespace LCD

// The in-memory payloads are flat runs of 32-bit integers; pin them here so a
// change of member or width fails the build instead of a peer component.
namespace LCD {
namespace ProtoModel {
namespace Layer {
static_assert(std::is_same<std::int32_t, int>::value, "record integers are read and written as int");
static_assert(sizeof(s_LayerCutout) == 84, "s_LayerCutout is 21 consecutive int32 values");
static_assert(sizeof(s_ReadLayerCursorColor) == 16, "s_ReadLayerCursorColor is 4 consecutive int32 values");
static_assert(sizeof(s_LayerCursorColorResult) == 28, "s_LayerCursorColorResult is 7 consecutive int32 values");
static_assert(offsetof(s_ForegroundColor, enable) == 12, "the flag follows the colour in memory");
static_assert(std::is_standard_layout<s_LayerCutout>::value && std::is_trivially_copyable<s_LayerCutout>::value,
              "s_LayerCutout travels as raw bytes");
static_assert(std::is_standard_layout<s_ReadLayerCursorColor>::value &&
                  std::is_trivially_copyable<s_ReadLayerCursorColor>::value,
              "s_ReadLayerCursorColor travels as raw bytes");
static_assert(std::is_standard_layout<s_LayerCursorColorResult>::value &&
                  std::is_trivially_copyable<s_LayerCursorColorResult>::value,
              "s_LayerCursorColorResult travels as raw bytes");
}  // namespace Layer
}  // namespace ProtoModel
}  // namespace LCD

AJSON(LCD::ProtoModel::s_RGB, R, G, B);
AJSON(LCD::ProtoModel::Layer::s_Pos, x, y);
AJSON(LCD::ProtoModel::Layer::s_SetCursor, enable);
AJSON(LCD::ProtoModel::Layer::s_ForegroundColor, enable, R, G, B);
AJSON(LCD::ProtoModel::Layer::s_Brightness, threshold, gain, foregroundColor);
AJSON(LCD::ProtoModel::Layer::s_Hue, color, hueClip, hueRamp, saturationClip, saturationGain, spill, shadow, highLigh,
      edgeSmooth);
AJSON(LCD::ProtoModel::Layer::s_SetCutout, enable, cursor, type, brightness, hue);
AJSON(LCD::ProtoModel::Layer::s_LayerCutout, layerId, cutout);
AJSON(LCD::ProtoModel::Layer::s_ReadCursor, enable, pos);
AJSON(LCD::ProtoModel::Layer::s_ReadLayerCursorColor, layerId, cursor);
AJSON(LCD::ProtoModel::Layer::s_Cursor, enable, pos, color);
AJSON(LCD::ProtoModel::Layer::s_LayerCursorColorResult, layerId, cursor);
AJSON(LCD::ProtoModel::Layer::s_InterfaceId, interfaceId);
AJSON(LCD::ProtoModel::Layer::s_LayerCutoutAssessResult, layerId, state, interfaces);
AJSON(LCD::AutoReport::AutoReportTLVDataMessage, CommandCode, ErrorCode, UserDataLength);
AJSON(LCD::AutoReport::LCDAutoReportData, source, seq, sn, tl, body);
