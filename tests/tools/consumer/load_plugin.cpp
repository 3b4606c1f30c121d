// Opens the installed plug-in as a host would, without linking anything of
// its own that the plug-in needs, and prints what it describes itself as.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "layercutout/assessexchange.h"
#include "layercutout/messageids.h"
#include "message/plugininfo.h"
#include "proto/response.h"

int main() {
  void* library = dlopen(LCD_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  const auto info =
      reinterpret_cast<wyn::PluginInfoFunction>(library != nullptr ? dlsym(library, wyn::kPluginInfoSymbol) : nullptr);
  if (info == nullptr) {
    std::printf("%s\n", dlerror());
    return 1;
  }
  const wyn::PluginInfo* plugin = info();

  LCD::ProtoModel::Layer::s_ReadLayerCursorColor request;
  request.layerId = 2;
  std::string json;
  LCD::ProtoModel::encode(json, request);

  std::printf("%s %s %s %#x %zu %s\n", plugin->name, plugin->version, plugin->components[0]->name,
              static_cast<unsigned>(LayerCutout::MessageId::kSetLayerCutout), sizeof(LayerCutout::AssessExchange),
              json.c_str());
  return 0;
}
