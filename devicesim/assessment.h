#pragma once

#include <nlohmann/json.hpp>

namespace LCD {
namespace DeviceSim {

// The simulated device's verdict on one well-formed layer cutout element:
// {"layerId":L,"state":S,"interfaces":[{"interfaceId":2L-1},{"interfaceId":2L}]},
// state 0 when every setting lies in its plausible range, 1 otherwise. Each
// layer is fed by two interfaces of its own.
nlohmann::json assessLayer(const nlohmann::json& layerCutout);

}  // namespace DeviceSim
}  // namespace LCD
