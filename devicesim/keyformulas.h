#pragma once

#include "devicesim/colourbars.h"
#include "proto/layercutout.h"

namespace LCD {
namespace DeviceSim {

// The simulator's stand-in for the device's keyer (docs/keying.md). Every
// formula keeps a pixel by a factor between 1 (all of the layer stays) and 0
// (keyed out, the background shows), and each setting moves that factor one
// way only, so the keyed-out area only grows or only shrinks as it rises.
// Settings are clamped to the device's ranges: threshold 0-255, the rest 0-100.

// Brightness key: pixels darker than the threshold go, the gain widens the
// soft edge above it.
float brightnessKeep(const Rgb& pixel, const ProtoModel::Layer::s_Brightness& key);

// Hue key: pixels near the key colour's hue go.
float hueKeep(const Rgb& pixel, const ProtoModel::Layer::s_Hue& key);

// How much of the pixel the cutout keeps, by its type; 1 when it is off.
float cutoutKeep(const Rgb& pixel, const ProtoModel::Layer::s_SetCutout& cutout);

// The colour shown where the layer stays: the brightness key's foreground
// fill, or the hue key's spill removed.
Rgb keptColour(const Rgb& pixel, const ProtoModel::Layer::s_SetCutout& cutout);

}  // namespace DeviceSim
}  // namespace LCD
