#pragma once

#include <string>
#include <vector>

#include "proto/layercutout.h"

namespace LCD::Tools {

// Input files are read with the protocol model's codec, the one the plug-in
// reads the device's JSON with, so the same lenient rules apply. Both throw
// CliError (bad usage) with the codec's positioned message, prefixed by `source`.

// A JSON array of layer cutouts; members left out keep their defaults.
std::vector<ProtoModel::Layer::s_LayerCutout> parseLayerCutouts(const std::string& text, const std::string& source);

// Checks that `text` is a device report envelope, as the plug-in will read it.
void checkReport(const std::string& text, const std::string& source);

}  // namespace LCD::Tools
