#pragma once

#include <memory>
#include <optional>
#include <string>

namespace LCD::DeviceSim {
class DeviceSimulator;
}  // namespace LCD::DeviceSim

namespace LCD::Tools {

// Which device to drive. Without a URL lcd-host starts its embedded simulator.
struct DeviceOptions {
  std::optional<std::string> url;
  std::optional<std::string> user;
  std::optional<std::string> password;
  std::optional<long> timeoutMs;
};

// The device the communicator talks to for this run: the one named by the
// options, or a simulator on a free loopback port that lives as long as this
// object. Construction configures the communicator library, which the plug-in
// shares with this process.
class DeviceTarget {
 public:
  // Throws CliError: bad usage for a URL that cannot name a device, device
  // failure when the simulator cannot start.
  explicit DeviceTarget(const DeviceOptions& options);
  ~DeviceTarget();
  DeviceTarget(const DeviceTarget&) = delete;
  DeviceTarget& operator=(const DeviceTarget&) = delete;

  // The device URL as given, without user:password@.
  const std::string& url() const { return url_; }
  bool simulated() const { return simulator_ != nullptr; }

  // "the device at URL did not answer (cause)", the cause being why the
  // calling thread's last exchange got no answer.
  std::string silence() const;

 private:
  std::unique_ptr<DeviceSim::DeviceSimulator> simulator_;
  std::string url_;
};

}  // namespace LCD::Tools
