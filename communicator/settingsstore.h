#pragma once

#include "communicator/devicesettings.h"

#include <cstdint>

namespace LCD {
namespace Communicator {

// The settings in force together with a number that grows with every change,
// so that state derived from older settings (the login token) can tell it is stale.
struct SettingsSnapshot {
  DeviceSettings settings;
  std::uint64_t generation;
};

SettingsSnapshot settingsSnapshot();

}  // namespace Communicator
}  // namespace LCD
