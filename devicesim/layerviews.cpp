#include "devicesim/layerviews.h"

#include "proto/reportstream.h"
#include "proto/response.h"

namespace LCD {
namespace DeviceSim {

using ProtoModel::Layer::s_LayerCursorColorResult;
using ProtoModel::Layer::s_LayerCutout;

LayerViews::LayerViews(const std::vector<int>& layers) {
  for (const int layerId : layers) {
    layers_[layerId].settings.layerId = layerId;
  }
}

void LayerViews::record(std::uint32_t commandCode, const std::string& body) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (commandCode == Proto::ReportStream::kCutoutReportCode) {
      recordCutouts(body);
    } else if (commandCode == Proto::ReportStream::kCursorReportCode) {
      recordCursor(body);
    }
  }
  changed_.notify_all();
}

// The device reports only what it accepted, so the bodies always decode.
void LayerViews::recordCutouts(const std::string& body) {
  std::vector<s_LayerCutout> cutouts;
  std::string error;
  ProtoModel::decode(body, cutouts, error);
  ++version_;
  for (const s_LayerCutout& cutout : cutouts) {
    LayerView& view = layers_[cutout.layerId];
    view.settings = cutout;
    view.version = version_;
  }
}

void LayerViews::recordCursor(const std::string& body) {
  s_LayerCursorColorResult reading;
  std::string error;
  ProtoModel::decode(body, reading, error);
  ++version_;
  LayerView& view = layers_[reading.layerId];
  view.cursor = reading.cursor;
  view.version = version_;
}

std::uint64_t LayerViews::version() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return version_;
}

std::vector<LayerView> LayerViews::all() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<LayerView> views;
  for (const auto& [layerId, view] : layers_) {
    views.push_back(view);
  }
  return views;
}

std::optional<LayerView> LayerViews::layer(int layerId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = layers_.find(layerId);
  return found == layers_.end() ? std::nullopt : std::optional<LayerView>(found->second);
}

std::optional<std::uint64_t> LayerViews::awaitChange(std::uint64_t seen, std::chrono::milliseconds patience) const {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, patience, [this, seen] { return closed_ || version_ > seen; });
  return closed_ ? std::nullopt : std::optional<std::uint64_t>(version_);
}

void LayerViews::close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

}  // namespace DeviceSim
}  // namespace LCD
