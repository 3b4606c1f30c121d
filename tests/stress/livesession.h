#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "layercutout/assessexchange.h"
#include "proto/layercutout.h"

// The plug-in as a host runs it: loaded into the host runtime, talking through
// the real communicator to the device simulator on loopback, its log captured.
class LiveSession {
 public:
  struct LogEntry {
    QtMsgType level;
    std::string function;
    std::string text;
  };

  LiveSession();
  ~LiveSession();
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  LCD::DeviceSim::DeviceSimulator& device() { return device_; }
  LCD::Host::Runtime& runtime() { return runtime_; }
  // The model's own message handler, for messages no host would deliver.
  wyn::IMessageHandler& handler() { return plugin_->components().front()->handler(); }
  // What was logged, or the device received, since the last call.
  std::vector<LogEntry> takeLog();
  std::vector<LCD::DeviceSim::RecordedRequest> takeRequests();

 private:
  LCD::DeviceSim::DeviceSimulator device_;
  LCD::Host::Runtime runtime_;
  std::unique_ptr<LCD::Host::Plugin> plugin_;
  QtMessageHandler previousLog_;
};

// What the sender finds after one command: the set command's answer byte, the
// cursor answer, or its own assessment record.
enum class Outcome {
  NoAnswer,
  AnswerOne,
  AnswerZero,
  DeviceReading,
  MarkedDefault,
  RecordWritten,
  RecordUntouched,
  Unexpected
};
std::ostream& operator<<(std::ostream& out, Outcome outcome);

using LayerSettings = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;

// The three commands as another component sends them, with their outcome.
Outcome setCutout(LCD::Host::Runtime& runtime, const LayerSettings& layers);
// Reads what the simulated device shows there: the colour bar under x.
Outcome readCursor(LCD::Host::Runtime& runtime, int layerId, int x, int y);
Outcome assess(LCD::Host::Runtime& runtime, const std::vector<int>& layerIds);

LayerSettings layersNumbered(const std::vector<int>& layerIds);

// One command with a fixed valid request, as the fault and memory tests send it.
struct Command {
  const char* name;
  const char* path;       // of the device resource it goes to
  const char* signature;  // of its handler, as the log shows it
  Outcome (*send)(LCD::Host::Runtime& runtime);
  Outcome success;
};
extern const Command kCommands[3];

// A device report around a body, with no error code.
std::string reportAbout(const std::string& body);
