#include "host/plugin.h"

#include "host/pluginerror.h"

namespace LCD::Host {

Plugin::Plugin(const std::string& path, Runtime& runtime) : library_(path), info_(library_.info()) {
  library_.init(runtime.api());
  if (info_.components == nullptr) {
    return;
  }
  for (wyn::ComponentInfo* const* entry = info_.components; *entry != nullptr; ++entry) {
    try {
      components_.push_back(std::make_unique<Component>(**entry, runtime));
    } catch (const PluginError& error) {
      throw PluginError("plug-in " + path + ": " + error.what());
    }
  }
}

Plugin::~Plugin() {
  while (!components_.empty()) {
    components_.pop_back();
  }
}

const std::string& Plugin::path() const { return library_.path(); }

const wyn::PluginInfo& Plugin::info() const { return info_; }

const std::vector<std::unique_ptr<Component>>& Plugin::components() const { return components_; }

}  // namespace LCD::Host
