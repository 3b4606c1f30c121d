#pragma once

#include "communicator/export.h"

#include <string>

namespace LCD {
namespace Communicator {

// Which device the communicator talks to and how it logs in.
struct DeviceSettings {
  std::string url = "http://127.0.0.1:8080";  // scheme, host, port and an optional path prefix
  std::string user = "admin";
  std::string password = "admin";
  long timeoutMs = 5000;  // whole exchange, name lookup and connection included
};

// Settings from LCD_DEVICE_URL, LCD_DEVICE_USER, LCD_DEVICE_PASSWORD and
// LCD_DEVICE_TIMEOUT_MS; unset or unusable variables keep the defaults.
LCD_COMMUNICATOR_EXPORT DeviceSettings settingsFromEnvironment();

// Replaces the settings in force. Until the first call the communicator uses
// settingsFromEnvironment(), read at first use. A change of settings makes
// the next token request log in again.
LCD_COMMUNICATOR_EXPORT void configureDevice(const DeviceSettings& settings);

LCD_COMMUNICATOR_EXPORT DeviceSettings deviceSettings();

// Why `url` cannot name a device ("is empty", "has a query", ...), or empty
// when it can: http or https, a host (an IPv6 address in brackets), an
// optional port and path prefix, nothing else. Requests to a device whose URL
// cannot serve are not sent.
LCD_COMMUNICATOR_EXPORT std::string deviceUrlProblem(const std::string& url);

}  // namespace Communicator
}  // namespace LCD
