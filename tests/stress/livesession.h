#pragma once

#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "proto/layercutout.h"

// The plug-in as a host runs it: loaded into the host runtime, talking through
// the real communicator to the device simulator on loopback, its log captured.
class LiveSession {
 public:
  LiveSession();
  ~LiveSession();

  LCD::DeviceSim::DeviceSimulator& device() { return device_; }
  LCD::Host::Runtime& runtime() { return runtime_; }
  // The lines logged, or the requests the device received, since the last call.
  std::vector<std::string> takeLog();
  std::vector<LCD::DeviceSim::RecordedRequest> takeRequests();

 private:
  LCD::DeviceSim::DeviceSimulator device_;
  LCD::Host::Runtime runtime_;
  std::unique_ptr<LCD::Host::Plugin> plugin_;
  QtMessageHandler previousLog_;
};

using LayerSettings = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;
LayerSettings layersNumbered(const std::vector<int>& layerIds);

// The three commands as another component sends them, each with what the
// sender finds: "AnswerOne" or "AnswerZero" (the set command's answer byte),
// "DeviceReading" (the colour bar under x) or "MarkedDefault" (layerId -1),
// "RecordWritten" or "RecordUntouched" (the assessment's record), "NoAnswer",
// or "Unexpected".
std::string setCutout(LCD::Host::Runtime& runtime, const LayerSettings& layers);
std::string readCursor(LCD::Host::Runtime& runtime, int layerId, int x, int y);
std::string assess(LCD::Host::Runtime& runtime, const std::vector<int>& layerIds);

// One command with a fixed valid request, as the fault and memory tests send it.
struct Command {
  const char* name;
  const char* path;  // of the device resource it goes to
  std::string (*send)(LCD::Host::Runtime& runtime);
  const char* success;
};
extern const Command kCommands[3];
