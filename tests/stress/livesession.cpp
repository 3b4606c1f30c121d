#include "tests/stress/livesession.h"

#include <QString>
#include <cstring>
#include <mutex>

#include "communicator/devicesettings.h"
#include "devicesim/colourbars.h"
#include "layercutout/assessexchange.h"
#include "layercutout/messageids.h"
#include "proto/constants.h"

namespace {

namespace Id = LayerCutout::MessageId;

std::mutex logMutex;
std::vector<std::string> logged;

void capture(QtMsgType, const QMessageLogContext&, const QString& text) {
  const std::lock_guard<std::mutex> lock(logMutex);
  logged.push_back(text.toStdString());
}

// The record's earlier state, so that "untouched" is checked, not assumed.
constexpr int kEarlierCode = 77;

std::string sendSetCutout(LCD::Host::Runtime& runtime) { return setCutout(runtime, layersNumbered({1, 2})); }
std::string sendReadCursor(LCD::Host::Runtime& runtime) { return readCursor(runtime, 2, 300, 100); }
std::string sendAssess(LCD::Host::Runtime& runtime) { return assess(runtime, {1, 2}); }

}  // namespace

LiveSession::LiveSession() : previousLog_(qInstallMessageHandler(&capture)) {
  LCD::Communicator::DeviceSettings settings;
  settings.url = device_.url();
  settings.timeoutMs = 2000;
  LCD::Communicator::configureDevice(settings);
  plugin_ = std::make_unique<LCD::Host::Plugin>(LCD_PLUGIN_PATH, runtime_);
  takeLog();
}

LiveSession::~LiveSession() {
  plugin_.reset();
  qInstallMessageHandler(previousLog_);
}

std::vector<std::string> LiveSession::takeLog() {
  const std::lock_guard<std::mutex> lock(logMutex);
  return std::move(logged);
}

std::vector<LCD::DeviceSim::RecordedRequest> LiveSession::takeRequests() {
  auto requests = device_.requests();
  device_.clearRequests();
  return requests;
}

LayerSettings layersNumbered(const std::vector<int>& layerIds) {
  LayerSettings layers(layerIds.size());
  for (std::size_t i = 0; i < layerIds.size(); ++i) layers[i].layerId = layerIds[i];
  return layers;
}

std::string setCutout(LCD::Host::Runtime& runtime, const LayerSettings& layers) {
  const auto result = runtime.sendCommand(Id::kSetLayerCutout, &layers, sizeof layers);
  if (!result.reply) return "NoAnswer";
  if (*result.reply == std::vector<unsigned char>{1}) return "AnswerOne";
  return *result.reply == std::vector<unsigned char>{0} ? "AnswerZero" : "Unexpected";
}

std::string readCursor(LCD::Host::Runtime& runtime, int layerId, int x, int y) {
  LCD::ProtoModel::Layer::s_ReadLayerCursorColor request{layerId, {1, {x, y}}};
  const auto result = runtime.sendCommand(Id::kSetLayerCutoutCursor, &request, sizeof request);
  if (!result.reply) return "NoAnswer";
  std::vector<int> answer(7);
  if (result.reply->size() != answer.size() * sizeof(int)) return "Unexpected";
  std::memcpy(answer.data(), result.reply->data(), result.reply->size());
  const LCD::DeviceSim::Rgb bar = LCD::DeviceSim::colourBarAt(x);
  if (answer == std::vector<int>{layerId, 1, x, y, bar.r, bar.g, bar.b}) return "DeviceReading";
  return answer == std::vector<int>{-1, 0, 0, 0, 50, 50, 50} ? "MarkedDefault" : "Unexpected";
}

// The assessment never answers: its outcome is the sender's record, written
// with one result per layer asked about, each fed by interfaces 2L-1 and 2L.
std::string assess(LCD::Host::Runtime& runtime, const std::vector<int>& layerIds) {
  LayerCutout::AssessExchange record{};
  record.layers = layersNumbered(layerIds);
  record.result.code = kEarlierCode;
  LayerCutout::AssessExchange* pointer = &record;
  if (runtime.sendCommand(Id::kGetLayerCutoutAssess, &pointer, sizeof pointer).reply) return "Unexpected";
  const auto& result = record.result;
  if (result.code == kEarlierCode && result.data.empty()) return "RecordUntouched";
  if (result.code != 0 || result.data.size() != layerIds.size()) return "Unexpected";
  for (std::size_t i = 0; i < layerIds.size(); ++i) {
    const auto& interfaces = result.data[i].interfaces;
    if (result.data[i].layerId != layerIds[i] || interfaces.size() != 2 ||
        interfaces[1].interfaceId != 2 * layerIds[i]) {
      return "Unexpected";
    }
  }
  return "RecordWritten";
}

const Command kCommands[3] = {
    {"SetCutout", LCD::Proto::Constants::PUTLAYERSCUTOUT, sendSetCutout, "AnswerOne"},
    {"ReadCursor", LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR, sendReadCursor, "DeviceReading"},
    {"Assess", LCD::Proto::Constants::TAVROPROTOPUTASSESSLAYERCUTOUT, sendAssess, "RecordWritten"},
};
