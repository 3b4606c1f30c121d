#include "host/pluginlibrary.h"

#include <dlfcn.h>

#include <utility>

#include "host/pluginerror.h"

namespace LCD::Host {
namespace {

std::string lastDlError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown error";
}

// RTLD_NOW reports missing dependencies here rather than at the first call;
// RTLD_LOCAL keeps one plug-in's symbols from resolving another's. RTLD_NODELETE
// keeps the code mapped after the close, as in a long-lived host: libraries a
// plug-in brings in, such as Qt, cannot be unloaded cleanly (ICU's caches
// would be stranded).
void* openLibrary(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) {
    throw PluginError("cannot load plug-in " + path + ": " + lastDlError());
  }
  return handle;
}

}  // namespace

void PluginLibrary::Closer::operator()(void* handle) const { dlclose(handle); }

PluginLibrary::PluginLibrary(std::string path)
    : path_(std::move(path)),
      handle_(openLibrary(path_)),
      info_(reinterpret_cast<wyn::PluginInfoFunction>(symbol(wyn::kPluginInfoSymbol))),
      init_(reinterpret_cast<wyn::PluginInitFunction>(symbol(wyn::kPluginInitSymbol))) {}

void* PluginLibrary::symbol(const char* name) const {
  dlerror();
  void* address = dlsym(handle_.get(), name);
  if (address == nullptr) {
    throw PluginError("plug-in " + path_ + " lacks entry point " + name + ": " + lastDlError());
  }
  return address;
}

const std::string& PluginLibrary::path() const { return path_; }

const wyn::PluginInfo& PluginLibrary::info() const {
  const wyn::PluginInfo* record = info_();
  if (record == nullptr) {
    throw PluginError("plug-in " + path_ + " returned no plug-in record");
  }
  return *record;
}

void PluginLibrary::init(wyn::IHostApi* api) const { init_(api); }

}  // namespace LCD::Host
