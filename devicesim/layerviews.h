#pragma once

#include "proto/layercutout.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace LCD {
namespace DeviceSim {

// What the page shows of one layer: its cutout settings and where its
// cursor last read a colour. `version` is the change count at its last change.
struct LayerView {
  ProtoModel::Layer::s_LayerCutout settings;
  ProtoModel::Layer::s_Cursor cursor;
  std::uint64_t version = 0;
};

// The layers as the device's own reports describe them, numbered by a change
// count that rises with every report, for the read-only page. Thread-safe.
class LayerViews {
 public:
  explicit LayerViews(const std::vector<int>& layers);

  // Takes in one report of the device: tl.CommandCode and the reported record's JSON text.
  void record(std::uint32_t commandCode, const std::string& body);

  std::uint64_t version() const;
  std::vector<LayerView> all() const;
  std::optional<LayerView> layer(int layerId) const;

  // Waits until the change count passes `seen` or `patience` ends, and
  // returns the count then; no value once closed.
  std::optional<std::uint64_t> awaitChange(std::uint64_t seen, std::chrono::milliseconds patience) const;

  // Ends every wait at once, and every later one as it starts.
  void close();

 private:
  void recordCutouts(const std::string& body);
  void recordCursor(const std::string& body);

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<int, LayerView> layers_;
  std::uint64_t version_ = 0;
  bool closed_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
