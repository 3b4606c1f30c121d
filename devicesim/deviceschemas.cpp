#include "devicesim/deviceschemas.h"

#include <limits>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kAnyMin = std::numeric_limits<int>::min();
constexpr int kAnyMax = std::numeric_limits<int>::max();

SchemaNode flag(const char* name) { return integerMember(name, 0, 1); }

SchemaNode channel(const char* name) { return integerMember(name, 0, 255); }

SchemaNode percentage(const char* name) { return integerMember(name, 0, 100); }

std::vector<SchemaNode> rgb() { return {channel("R"), channel("G"), channel("B")}; }

SchemaNode brightness() {
  return objectMember("brightness",
                      {channel("threshold"), percentage("gain"),
                       objectMember("foregroundColor", {flag("enable"), channel("R"), channel("G"), channel("B")})});
}

SchemaNode hue() {
  return objectMember("hue", {objectMember("color", rgb()), percentage("hueClip"), percentage("hueRamp"),
                              percentage("saturationClip"), percentage("saturationGain"), percentage("spill"),
                              percentage("shadow"), percentage("highLigh"), percentage("edgeSmooth")});
}

}  // namespace

const std::vector<SchemaNode>& layerCutoutSchema() {
  static const std::vector<SchemaNode> schema{
      integerMember("layerId", kAnyMin, kAnyMax),
      objectMember("cutout", {flag("enable"), objectMember("cursor", {flag("enable")}), integerMember("type", 0, 1),
                              brightness(), hue()}),
  };
  return schema;
}

const std::vector<SchemaNode>& cursorColourRequestSchema() {
  static const std::vector<SchemaNode> schema{
      integerMember("layerId", kAnyMin, kAnyMax),
      objectMember("cursor",
                   {integerMember("enable", kAnyMin, kAnyMax),
                    objectMember("pos", {integerMember("x", kAnyMin, kAnyMax), integerMember("y", kAnyMin, kAnyMax)})}),
  };
  return schema;
}

}  // namespace DeviceSim
}  // namespace LCD
