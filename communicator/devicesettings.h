#pragma once

#include "communicator/export.h"

#include <string>

namespace LCD {
namespace Communicator {

// Which device the communicator talks to and how it logs in.
struct DeviceSettings {
  std::string url = "http://127.0.0.1:8080";  // scheme, host and port; no path
  std::string user = "admin";
  std::string password = "admin";
  long timeoutMs = 5000;  // whole exchange, connection included
};

// Settings from LCD_DEVICE_URL, LCD_DEVICE_USER, LCD_DEVICE_PASSWORD and
// LCD_DEVICE_TIMEOUT_MS; unset or unusable variables keep the defaults.
LCD_COMMUNICATOR_EXPORT DeviceSettings settingsFromEnvironment();

// Replaces the settings in force. Until the first call the communicator uses
// settingsFromEnvironment(), read at first use. A change of settings makes the
// next token request log in again.
LCD_COMMUNICATOR_EXPORT void configureDevice(const DeviceSettings& settings);

LCD_COMMUNICATOR_EXPORT DeviceSettings deviceSettings();

}  // namespace Communicator
}  // namespace LCD
