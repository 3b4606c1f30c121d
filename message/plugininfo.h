#pragma once

#include <cstddef>

#include "message/componentinfo.h"
#include "message/ihostapi.h"

namespace wyn {

// The constant record a plug-in describes itself with: five pointer-sized
// fields, in this order.
struct PluginInfo {
  const char* apiVersion;
  // Null-terminated.
  ComponentInfo* const* components;
  const char* name;
  const char* version;
  const char* info;
};
static_assert(sizeof(PluginInfo) == 5 * sizeof(void*), "plug-ins rely on five pointer-sized fields");
static_assert(offsetof(PluginInfo, components) == 1 * sizeof(void*) &&
                  offsetof(PluginInfo, name) == 2 * sizeof(void*) &&
                  offsetof(PluginInfo, version) == 3 * sizeof(void*) && offsetof(PluginInfo, info) == 4 * sizeof(void*),
              "plug-ins rely on the order of the fields");

// The two functions every plug-in exports under unmangled names.
constexpr const char kPluginInfoSymbol[] = "pluginfo";
constexpr const char kPluginInitSymbol[] = "pluginit";
using PluginInfoFunction = const PluginInfo* (*)();
using PluginInitFunction = void (*)(IHostApi* api);

}  // namespace wyn

// Declared here with default visibility so that a plug-in built with hidden
// visibility exports exactly these two by defining them.
extern "C" {
[[gnu::visibility("default")]] const wyn::PluginInfo* pluginfo();
[[gnu::visibility("default")]] void pluginit(wyn::IHostApi* api);
}
