#include "tests/stress/commands.h"

#include <cstring>

#include "devicesim/colourbars.h"
#include "layercutout/messageids.h"

namespace Stress {

namespace {

constexpr int kEarlierCode = 77;
constexpr const char* kEarlierMessage = "before";
constexpr int kEarlierLayer = 555;

}  // namespace

LayerSettings layersNumbered(const std::vector<int>& layerIds) {
  LayerSettings layers(layerIds.size());
  for (std::size_t i = 0; i < layerIds.size(); ++i) layers[i].layerId = layerIds[i];
  return layers;
}

s_ReadLayerCursorColor cursorAt(int layerId, int x, int y) {
  s_ReadLayerCursorColor request;
  request.layerId = layerId;
  request.cursor.enable = 1;
  request.cursor.pos = {x, y};
  return request;
}

LayerCutout::AssessExchange exchangeFor(const std::vector<int>& layerIds) {
  LayerCutout::AssessExchange record{};
  record.layers = layersNumbered(layerIds);
  record.result.code = kEarlierCode;
  record.result.message = kEarlierMessage;
  record.result.data.resize(1);
  record.result.data[0].layerId = kEarlierLayer;
  return record;
}

LCD::Host::CommandResult setCutout(LCD::Host::Runtime& runtime, const LayerSettings& layers) {
  return runtime.sendCommand(LayerCutout::MessageId::kSetLayerCutout, &layers, sizeof layers);
}

LCD::Host::CommandResult readCursor(LCD::Host::Runtime& runtime, const s_ReadLayerCursorColor& request) {
  return runtime.sendCommand(LayerCutout::MessageId::kSetLayerCutoutCursor, &request, sizeof request);
}

LCD::Host::CommandResult assess(LCD::Host::Runtime& runtime, LayerCutout::AssessExchange& record) {
  LayerCutout::AssessExchange* pointer = &record;
  return runtime.sendCommand(LayerCutout::MessageId::kGetLayerCutoutAssess, &pointer, sizeof pointer);
}

std::vector<int> cursorWords(const LCD::Host::CommandResult& result) {
  constexpr std::size_t kAnswerSize = sizeof(LCD::ProtoModel::Layer::s_LayerCursorColorResult);
  if (!result.reply.has_value() || result.reply->size() != kAnswerSize) return {};
  std::vector<int> words(kAnswerSize / sizeof(int));
  std::memcpy(words.data(), result.reply->data(), kAnswerSize);
  return words;
}

std::vector<int> deviceReading(const s_ReadLayerCursorColor& request) {
  const LCD::DeviceSim::Rgb colour = LCD::DeviceSim::colourBarAt(request.cursor.pos.x);
  return {request.layerId, request.cursor.enable, request.cursor.pos.x, request.cursor.pos.y, colour.r, colour.g,
          colour.b};
}

std::vector<int> markedDefault() { return {-1, 0, 0, 0, 50, 50, 50}; }

bool isUntouched(const LayerCutout::AssessExchange& record) {
  return record.result.code == kEarlierCode && record.result.message == kEarlierMessage &&
         record.result.data.size() == 1 && record.result.data[0].layerId == kEarlierLayer;
}

bool holdsItsOwnResults(const LayerCutout::AssessExchange& record) {
  if (record.result.code != 0 || record.result.data.size() != record.layers.size()) return false;
  for (std::size_t i = 0; i < record.layers.size(); ++i) {
    if (record.result.data[i].layerId != record.layers[i].layerId) return false;
  }
  return true;
}

}  // namespace Stress
