#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/component.h"
#include "host/pluginlibrary.h"
#include "host/runtime.h"
#include "message/plugininfo.h"

namespace LCD::Host {

// A loaded plug-in: its library, initialised with the runtime's API object,
// and one live component per descriptor it lists. Destruction removes and
// destroys the components, last first, then closes the library. The runtime
// must outlive the plug-in.
class Plugin {
 public:
  // Throws PluginError (or whatever a component's creation throws); nothing
  // stays loaded or registered then.
  Plugin(const std::string& path, Runtime& runtime);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  const std::string& path() const;
  const wyn::PluginInfo& info() const;
  // In the order of the plug-in's table.
  const std::vector<std::unique_ptr<Component>>& components() const;

 private:
  PluginLibrary library_;
  const wyn::PluginInfo& info_;
  std::vector<std::unique_ptr<Component>> components_;
};

}  // namespace LCD::Host
