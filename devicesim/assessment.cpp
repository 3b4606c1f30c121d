#include "devicesim/assessment.h"

#include "devicesim/deviceschemas.h"

#include <cstdint>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kPlausible = 0;
constexpr int kOutOfRange = 1;

nlohmann::json interfacesOf(std::int64_t layerId) {
  return nlohmann::json::array({{{"interfaceId", 2 * layerId - 1}}, {{"interfaceId", 2 * layerId}}});
}

}  // namespace

nlohmann::json assessLayer(const nlohmann::json& layerCutout) {
  const auto layerId = layerCutout.at("layerId").get<std::int64_t>();
  const int state = withinRanges(layerCutout, layerCutoutSchema()) ? kPlausible : kOutOfRange;
  return {{"layerId", layerId}, {"state", state}, {"interfaces", interfacesOf(layerId)}};
}

}  // namespace DeviceSim
}  // namespace LCD
