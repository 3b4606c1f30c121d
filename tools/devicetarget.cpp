#include "tools/devicetarget.h"

#include <stdexcept>

#include "communicator/devicesettings.h"
#include "communicator/exchangefailure.h"
#include "devicesim/devicesimulator.h"
#include "tools/clierror.h"

namespace LCD::Tools {
namespace {

std::unique_ptr<DeviceSim::DeviceSimulator> startSimulator(const DeviceSim::SimulatorOptions& options) {
  try {
    return std::make_unique<DeviceSim::DeviceSimulator>(options);
  } catch (const std::runtime_error& error) {
    throw CliError(ExitCode::deviceFailure, std::string("cannot start the embedded device simulator: ") + error.what());
  }
}

// A URL's credentials stay out of every message.
std::string withoutCredentials(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) {
    return url;
  }
  const std::size_t host = scheme + 3;
  const std::size_t at = url.substr(0, url.find_first_of("/?#", host)).rfind('@');
  return at == std::string::npos || at < host ? url : url.substr(0, host) + url.substr(at + 1);
}

// A real device: what the environment says (LCD_DEVICE_*), then the options.
Communicator::DeviceSettings realDeviceSettings(const std::string& url, const DeviceOptions& options) {
  if (const std::string problem = Communicator::deviceUrlProblem(url); !problem.empty()) {
    throw CliError(ExitCode::badUsage, "--device \"" + withoutCredentials(url) + "\" " + problem +
                                           ": give http or https, a host, an optional port and path prefix");
  }
  Communicator::DeviceSettings settings = Communicator::settingsFromEnvironment();
  settings.url = url;
  settings.user = options.user.value_or(settings.user);
  settings.password = options.password.value_or(settings.password);
  return settings;
}

// The simulator: its own address and the credentials it was started with.
Communicator::DeviceSettings simulatorSettings(const DeviceSim::DeviceSimulator& simulator,
                                               const DeviceSim::SimulatorOptions& started) {
  Communicator::DeviceSettings settings;
  settings.url = simulator.url();
  settings.user = started.user;
  settings.password = started.password;
  return settings;
}

}  // namespace

DeviceTarget::DeviceTarget(const DeviceOptions& options) {
  Communicator::DeviceSettings settings;
  if (options.url) {
    settings = realDeviceSettings(*options.url, options);
  } else {
    const DeviceSim::SimulatorOptions simulatorOptions;
    simulator_ = startSimulator(simulatorOptions);
    settings = simulatorSettings(*simulator_, simulatorOptions);
  }
  settings.timeoutMs = options.timeoutMs.value_or(settings.timeoutMs);
  Communicator::configureDevice(settings);
  url_ = withoutCredentials(settings.url);
}

DeviceTarget::~DeviceTarget() = default;

std::string DeviceTarget::silence() const {
  const std::string cause = Communicator::lastExchangeFailure();
  return "the device at " + url_ + " did not answer" + (cause.empty() ? "" : " (" + cause + ")");
}

}  // namespace LCD::Tools
