#include "bench/plugin_path/workload.h"

#include <algorithm>
#include <cstring>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"

namespace plugin_path {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;

std::vector<LCD::ProtoModel::Layer::s_LayerCutout> sixteenLayers() {
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers(16);
  for (int i = 0; i < 16; ++i) {
    auto& layer = layers[static_cast<std::size_t>(i)];
    layer.layerId = i + 1;
    layer.cutout.enable = 1;
    layer.cutout.type = i % 2;
    layer.cutout.brightness.threshold = 10 + i;
    layer.cutout.hue.color = {i * 15, 255 - i * 15, 128};
    layer.cutout.hue.spill = 100 - i;
  }
  return layers;
}

LCD::ProtoModel::Layer::s_ReadLayerCursorColor cursorRequest() {
  LCD::ProtoModel::Layer::s_ReadLayerCursorColor request;
  request.layerId = 2;
  request.cursor.enable = 1;
  request.cursor.pos = {300, 100};
  return request;
}

Commands::Commands(LCD::Host::Runtime& runtime)
    : runtime_(runtime), layers_(sixteenLayers()), cursor_(cursorRequest()) {
  exchange_.layers = layers_;
}

bool Commands::setCutout() {
  const auto result = runtime_.sendCommand(Id::kSetLayerCutout, &layers_, sizeof layers_);
  return result.reply.has_value() && result.reply->size() == 1 && (*result.reply)[0] == 1;
}

bool Commands::readColour() {
  const auto result = runtime_.sendCommand(Id::kSetLayerCutoutCursor, &cursor_, sizeof cursor_);
  if (!result.reply.has_value() || result.reply->size() != sizeof(s_LayerCursorColorResult)) return false;
  s_LayerCursorColorResult answer;
  std::memcpy(&answer, result.reply->data(), sizeof answer);
  return answer.layerId == cursor_.layerId;
}

bool Commands::assess() {
  exchange_.result.data.clear();
  LayerCutout::AssessExchange* pointer = &exchange_;
  runtime_.sendCommand(Id::kGetLayerCutoutAssess, &pointer, sizeof pointer);
  return exchange_.result.data.size() == layers_.size();
}

double Latencies::percentile(double fraction) {
  if (samples_.empty()) return 0.0;
  const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(samples_.size() - 1));
  std::nth_element(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(rank), samples_.end());
  return samples_[rank];
}

}  // namespace plugin_path
