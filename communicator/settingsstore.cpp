#include "communicator/settingsstore.h"

#include <mutex>

namespace LCD {
namespace Communicator {
namespace {

struct Store {
  std::mutex mutex;
  SettingsSnapshot current{settingsFromEnvironment(), 1};
};

Store& store() {
  static Store* instance = new Store;  // outlives every thread that may still send
  return *instance;
}

}  // namespace

SettingsSnapshot settingsSnapshot() {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.current;
}

void configureDevice(const DeviceSettings& settings) {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.current.settings = settings;
  ++s.current.generation;
}

DeviceSettings deviceSettings() { return settingsSnapshot().settings; }

}  // namespace Communicator
}  // namespace LCD
