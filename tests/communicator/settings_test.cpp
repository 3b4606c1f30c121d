#include "communicator/devicesettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using LCD::Communicator::DeviceSettings;

// Sets the device variables for one scope and clears them afterwards.
class DeviceEnvironment {
 public:
  DeviceEnvironment(const char* url, const char* user, const char* password, const char* timeout) {
    set("LCD_DEVICE_URL", url);
    set("LCD_DEVICE_USER", user);
    set("LCD_DEVICE_PASSWORD", password);
    set("LCD_DEVICE_TIMEOUT_MS", timeout);
  }
  ~DeviceEnvironment() {
    for (const char* name : {"LCD_DEVICE_URL", "LCD_DEVICE_USER", "LCD_DEVICE_PASSWORD", "LCD_DEVICE_TIMEOUT_MS"}) {
      unsetenv(name);
    }
  }
  DeviceEnvironment(const DeviceEnvironment&) = delete;
  DeviceEnvironment& operator=(const DeviceEnvironment&) = delete;

 private:
  static void set(const char* name, const char* value) {
    if (value != nullptr) {
      setenv(name, value, 1);
    }
  }
};

TEST(SettingsTest, EnvironmentOverridesTheDefaultsWhereUsable) {
  const struct {
    const char* url;
    const char* user;
    const char* password;
    const char* timeout;
    DeviceSettings expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, nullptr, {"http://127.0.0.1:8080", "admin", "admin", 5000}},
      {"http://127.0.0.2:81", "op", "secret", "250", {"http://127.0.0.2:81", "op", "secret", 250}},
      {"", "", "", "", {"http://127.0.0.1:8080", "admin", "admin", 5000}},
      {nullptr, nullptr, nullptr, "12ms", {"http://127.0.0.1:8080", "admin", "admin", 5000}},
      {nullptr, nullptr, nullptr, "0", {"http://127.0.0.1:8080", "admin", "admin", 5000}},
      {nullptr, nullptr, nullptr, "-5", {"http://127.0.0.1:8080", "admin", "admin", 5000}},
  };
  for (const auto& c : cases) {
    DeviceEnvironment environment(c.url, c.user, c.password, c.timeout);
    const DeviceSettings settings = LCD::Communicator::settingsFromEnvironment();
    EXPECT_EQ(settings.url, c.expected.url);
    EXPECT_EQ(settings.user, c.expected.user);
    EXPECT_EQ(settings.password, c.expected.password);
    EXPECT_EQ(settings.timeoutMs, c.expected.timeoutMs);
  }
}

TEST(SettingsTest, ConfiguredSettingsAreTheOnesInForce) {
  LCD::Communicator::configureDevice({"http://127.0.0.1:1", "u", "p", 42});
  const DeviceSettings settings = LCD::Communicator::deviceSettings();
  EXPECT_EQ(settings.url, "http://127.0.0.1:1");
  EXPECT_EQ(settings.user, "u");
  EXPECT_EQ(settings.password, "p");
  EXPECT_EQ(settings.timeoutMs, 42);
}

}  // namespace
