#pragma once

#include <string>

namespace LCD::Tools {

// <directory of lcd-host>/../lib/liblayercutoutmodel.so.1: the plug-in beside
// this executable in the build tree and in an install prefix alike.
std::string defaultPluginPath();

}  // namespace LCD::Tools
