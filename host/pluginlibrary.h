#pragma once

#include <memory>
#include <string>

#include "message/ihostapi.h"
#include "message/plugininfo.h"

namespace LCD::Host {

// An opened plug-in library and its two entry points; closing happens on
// destruction. The library stays mapped after that, so whatever came out of
// it (descriptors, components, their functions) may outlive this object.
class PluginLibrary {
 public:
  // Throws PluginError when the library does not open or lacks an entry point.
  explicit PluginLibrary(std::string path);

  const std::string& path() const;
  // Throws PluginError when the plug-in returns no record.
  const wyn::PluginInfo& info() const;
  void init(wyn::IHostApi* api) const;

 private:
  struct Closer {
    void operator()(void* handle) const;
  };

  void* symbol(const char* name) const;

  std::string path_;
  std::unique_ptr<void, Closer> handle_;
  wyn::PluginInfoFunction info_;
  wyn::PluginInitFunction init_;
};

}  // namespace LCD::Host
