#include "tools/pluginlocation.h"

#include <filesystem>

namespace LCD::Tools {

std::string defaultPluginPath() {
  const std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe");
  return (executable.parent_path().parent_path() / "lib" / "liblayercutoutmodel.so.1").string();
}

}  // namespace LCD::Tools
