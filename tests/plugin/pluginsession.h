#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "tests/plugin/logcapture.h"

// The plug-in as a host runs it: loaded from the build tree into a host
// runtime, talking through the communicator to a device simulator on loopback,
// with its log captured.
class PluginSession {
 public:
  PluginSession();
  ~PluginSession();

  static const char* pluginPath();

  LCD::DeviceSim::DeviceSimulator& device() { return device_; }
  LCD::Host::Runtime& runtime() { return runtime_; }
  LCD::Host::Plugin& plugin() { return *plugin_; }
  LogCapture& log() { return log_; }

  LCD::Host::CommandResult command(std::uint32_t id, const void* data, int size);
  // Delivers a device report (its text with the terminating NUL) as an event.
  void report(std::uint32_t id, const std::string& text);
  // Every request the device saw since the last call.
  std::vector<LCD::DeviceSim::RecordedRequest> takeRequests();

 private:
  LCD::DeviceSim::DeviceSimulator device_;
  LCD::Host::Runtime runtime_;
  LogCapture log_;
  std::unique_ptr<LCD::Host::Plugin> plugin_;
};

// The single warning the last step logged, with the plug-in's context.
struct ExpectedLog {
  QtMsgType level;
  const char* function;
  const char* text;
};

void expectOnlyLog(const LogCapture& log, const ExpectedLog& expected);
void expectNoLog(const LogCapture& log);
