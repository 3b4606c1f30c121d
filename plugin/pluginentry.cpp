#include "message/api.h"
#include "message/plugininfo.h"
#include "plugin/componentdescriptor.h"

namespace {

wyn::ComponentInfo* const lcdlayercutoutmodelplugin_wyn_componentInfoTable[] = {
    &wyn::ComponentTmpl<LayerCutout::LayerCutoutModel>::componentInfo,
    nullptr,
};

}  // namespace

// The record is constant-initialised: it is complete at load time, before and
// without pluginit.
extern "C" const wyn::PluginInfo* pluginfo() {
  static const wyn::PluginInfo pinfo = {
      "0.1",   lcdlayercutoutmodelplugin_wyn_componentInfoTable,       "layercutoutmodel",
      "0.1.0", "{\"desc\":\"layer cutout model plugin!\",\"end\":0 }",
  };
  return &pinfo;
}

extern "C" void pluginit(wyn::IHostApi* api) { wyn::api::get().host = api; }
