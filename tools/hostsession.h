#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/plugin.h"
#include "host/runtime.h"
#include "proto/layercutout.h"
#include "proto/response.h"
#include "tools/devicetarget.h"

namespace LCD::Tools {

// The record an event of the plug-in carries, copied: what the payload points
// at lives only while the event is delivered. Nothing when the payload is not
// one T.
template <typename T>
std::optional<T> recordOf(const wyn::IMessage& event) {
  if (event.getDataSize() != static_cast<int>(sizeof(T)) || event.getData() == nullptr) {
    return std::nullopt;
  }
  return *static_cast<const T*>(event.getData());
}

struct SessionOptions {
  DeviceOptions device;
  // Empty: the plug-in beside lcd-host (see defaultPluginPath).
  std::string pluginPath;
};

// One host process as an integrator builds it: a host runtime with the
// plug-in loaded and initialised, its communicator pointed at the device.
// Each call sends one message the way another component would and returns
// what came back. Calls throw CliError (device failure) when a command goes
// unanswered.
class HostSession {
 public:
  // Throws CliError: bad usage when the plug-in cannot be loaded.
  explicit HostSession(const SessionOptions& options);

  const DeviceTarget& device() const { return device_; }
  const std::string& pluginPath() const { return plugin_.path(); }
  // Where other components of the host subscribe and post, as LiveReports does.
  LCD::Host::Runtime& runtime() { return runtime_; }

  // Command 0xfc050413: the answer byte, 1 when the device accepted the settings.
  unsigned char setCutout(const std::vector<ProtoModel::Layer::s_LayerCutout>& layers);

  // Command 0xfc050415: the colour under the cursor; layerId -1 when the device said no.
  ProtoModel::Layer::s_LayerCursorColorResult readColour(const ProtoModel::Layer::s_ReadLayerCursorColor& request);

  // Command 0xfc050414: the results the plug-in wrote into the exchange
  // record, or nothing when it left the record untouched.
  std::optional<ProtoModel::AssessResponse> assess(const std::vector<ProtoModel::Layer::s_LayerCutout>& layers);

  // Report 0x81110: the settings sent on with event 0xfc08040e, if any.
  std::optional<std::vector<ProtoModel::Layer::s_LayerCutout>> reportCutout(const std::string& reportText);

  // Report 0x81111: the record sent on with event 0xfc08040f, if any.
  std::optional<ProtoModel::Layer::s_LayerCursorColorResult> reportCursor(const std::string& reportText);

 private:
  // The host's delivery of a command: the answer payload, if the plug-in answered.
  std::optional<std::vector<unsigned char>> command(std::uint32_t id, const void* data, int size);
  // The answer, which must be there and be `answerSize` bytes.
  std::vector<unsigned char> answer(std::uint32_t id, const void* data, int size, std::size_t answerSize);
  // Delivers the report text with its NUL while listening to `eventId`; the
  // payload of the event the plug-in sent on meanwhile, copied as a T.
  template <typename T>
  std::optional<T> deliverReport(std::uint32_t reportId, std::uint32_t eventId, const std::string& reportText);

  DeviceTarget device_;
  LCD::Host::Runtime runtime_;
  LCD::Host::Plugin plugin_;
};

}  // namespace LCD::Tools
