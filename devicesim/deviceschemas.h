#pragma once

#include "devicesim/schema.h"

#include <vector>

namespace LCD {
namespace DeviceSim {

// One element of the layer cutout array: {"layerId":..,"cutout":{..}}. The
// ranges are what the simulated device deems plausible when it assesses.
const std::vector<SchemaNode>& layerCutoutSchema();

// {"layerId":..,"cursor":{"enable":..,"pos":{"x":..,"y":..}}}.
const std::vector<SchemaNode>& cursorColourRequestSchema();

}  // namespace DeviceSim
}  // namespace LCD
