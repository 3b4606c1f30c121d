#include "tools/devicetarget.h"

#include <stdexcept>

#include "communicator/devicesettings.h"
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

// A real device: what the environment says (LCD_DEVICE_*), then the options.
Communicator::DeviceSettings realDeviceSettings(const DeviceOptions& options) {
  Communicator::DeviceSettings settings = Communicator::settingsFromEnvironment();
  settings.url = options.url;
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
  if (options.url.empty()) {
    const DeviceSim::SimulatorOptions simulatorOptions;
    simulator_ = startSimulator(simulatorOptions);
    settings = simulatorSettings(*simulator_, simulatorOptions);
  } else {
    settings = realDeviceSettings(options);
  }
  settings.timeoutMs = options.timeoutMs.value_or(settings.timeoutMs);
  Communicator::configureDevice(settings);
  url_ = settings.url;
}

DeviceTarget::~DeviceTarget() = default;

}  // namespace LCD::Tools
