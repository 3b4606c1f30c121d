#include "communicator/devicesettings.h"

#include <cerrno>
#include <cstdlib>

namespace LCD {
namespace Communicator {
namespace {

void overrideText(const char* variable, std::string& value) {
  if (const char* text = std::getenv(variable); text != nullptr && *text != '\0') {
    value = text;
  }
}

void overridePositive(const char* variable, long& value) {
  const char* text = std::getenv(variable);
  if (text == nullptr || *text == '\0') {
    return;
  }
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno == 0 && *end == '\0' && parsed > 0) {
    value = parsed;
  }
}

}  // namespace

DeviceSettings settingsFromEnvironment() {
  DeviceSettings settings;
  overrideText("LCD_DEVICE_URL", settings.url);
  overrideText("LCD_DEVICE_USER", settings.user);
  overrideText("LCD_DEVICE_PASSWORD", settings.password);
  overridePositive("LCD_DEVICE_TIMEOUT_MS", settings.timeoutMs);
  return settings;
}

}  // namespace Communicator
}  // namespace LCD
