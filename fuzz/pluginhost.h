#pragma once

#include <string>
#include <vector>

#include "host/runtime.h"

namespace fuzz {

// The layer cutout plug-in loaded from the build tree into a host runtime, as
// a host loads it, once per process and kept until exit. What it logs is
// collected instead of printed: fuzz input makes it warn on nearly every run.
LCD::Host::Runtime& pluginRuntime();

// The texts the plug-in logged since the last call, oldest first.
std::vector<std::string> takePluginLog();

}  // namespace fuzz
