#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "layercutout/assessexchange.h"
#include "proto/layercutout.h"

// The three commands as an integrator sends them, with the payloads of a
// realistic 16-layer setup, and the latency figures reported for each.
namespace plugin_path {

std::vector<LCD::ProtoModel::Layer::s_LayerCutout> sixteenLayers();
LCD::ProtoModel::Layer::s_ReadLayerCursorColor cursorRequest();

// Sends one command and checks that it was answered as a success would be;
// a benchmark whose commands fail measures nothing.
class Commands {
 public:
  explicit Commands(LCD::Host::Runtime& runtime);
  bool setCutout();
  bool readColour();
  bool assess();

 private:
  LCD::Host::Runtime& runtime_;
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers_;
  LCD::ProtoModel::Layer::s_ReadLayerCursorColor cursor_;
  LayerCutout::AssessExchange exchange_{};
};

// Per-iteration latencies, summarised as p50 and p99 in microseconds.
class Latencies {
 public:
  void add(double microseconds) { samples_.push_back(microseconds); }
  double percentile(double fraction);

 private:
  std::vector<double> samples_;
};

}  // namespace plugin_path
