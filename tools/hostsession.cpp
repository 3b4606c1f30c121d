#include "tools/hostsession.h"

#include <cstring>

#include "host/pluginerror.h"
#include "layercutout/assessexchange.h"
#include "layercutout/messageids.h"
#include "message/status.h"
#include "tools/clierror.h"
#include "tools/outputdocuments.h"
#include "tools/pluginlocation.h"

namespace LCD::Tools {
namespace {

using ProtoModel::Layer::s_LayerCursorColorResult;
using ProtoModel::Layer::s_LayerCutout;
using ProtoModel::Layer::s_ReadLayerCursorColor;
namespace MessageId = LayerCutout::MessageId;

LCD::Host::Plugin loadPlugin(const std::string& requestedPath, LCD::Host::Runtime& runtime) {
  const std::string path = requestedPath.empty() ? defaultPluginPath() : requestedPath;
  try {
    return LCD::Host::Plugin(path, runtime);
  } catch (const LCD::Host::PluginError& error) {
    throw CliError(ExitCode::badUsage, std::string("cannot load the plug-in: ") + error.what());
  }
}

std::string byteCount(std::size_t bytes) { return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes"); }

}  // namespace

HostSession::HostSession(const SessionOptions& options)
    : device_(options.device), plugin_(loadPlugin(options.pluginPath, runtime_)) {}

unsigned char HostSession::setCutout(const std::vector<s_LayerCutout>& layers) {
  // The payload is the vector object itself; the plug-in copies its elements.
  return answer(MessageId::kSetLayerCutout, &layers, sizeof layers, 1).front();
}

s_LayerCursorColorResult HostSession::readColour(const s_ReadLayerCursorColor& request) {
  const auto bytes =
      answer(MessageId::kSetLayerCutoutCursor, &request, sizeof request, sizeof(s_LayerCursorColorResult));
  s_LayerCursorColorResult result;
  std::memcpy(&result, bytes.data(), sizeof result);
  return result;
}

std::optional<ProtoModel::AssessResponse> HostSession::assess(const std::vector<s_LayerCutout>& layers) {
  // The plug-in writes its results only on success and only when there are
  // some, so an empty result list means the record was left as it was.
  LayerCutout::AssessExchange exchange{};
  exchange.layers = layers;
  LayerCutout::AssessExchange* record = &exchange;
  command(MessageId::kGetLayerCutoutAssess, &record, sizeof record);
  if (exchange.result.data.empty()) {
    return std::nullopt;
  }
  return exchange.result;
}

std::optional<std::vector<s_LayerCutout>> HostSession::reportCutout(const std::string& reportText) {
  return deliverReport<std::vector<s_LayerCutout>>(MessageId::kLayerCutoutReport, MessageId::kLayerCutoutChanged,
                                                   reportText);
}

std::optional<s_LayerCursorColorResult> HostSession::reportCursor(const std::string& reportText) {
  return deliverReport<s_LayerCursorColorResult>(MessageId::kLayerCutoutCursorReport,
                                                 MessageId::kLayerCutoutCursorChanged, reportText);
}

std::optional<std::vector<unsigned char>> HostSession::command(std::uint32_t id, const void* data, int size) {
  LCD::Host::CommandResult result = runtime_.sendCommand(id, data, size);
  if (result.status != wyn::status::ok) {
    throw CliError(ExitCode::deviceFailure, "the host could not deliver command " + hexId(id) + " (status " +
                                                std::to_string(result.status) + ")");
  }
  return std::move(result.reply);
}

std::vector<unsigned char> HostSession::answer(std::uint32_t id, const void* data, int size, std::size_t answerSize) {
  std::optional<std::vector<unsigned char>> reply = command(id, data, size);
  if (!reply) {
    throw CliError(ExitCode::deviceFailure, "no answer to command " + hexId(id) + ": " + device_.silence());
  }
  if (reply->size() != answerSize) {
    throw CliError(ExitCode::deviceFailure, "command " + hexId(id) + " was answered with " + byteCount(reply->size()) +
                                                ", expected " + byteCount(answerSize));
  }
  return std::move(*reply);
}

template <typename T>
std::optional<T> HostSession::deliverReport(std::uint32_t reportId, std::uint32_t eventId,
                                            const std::string& reportText) {
  std::optional<T> payload;
  std::optional<std::size_t> eventSize;
  const auto subscription = runtime_.subscribe(eventId, [&payload, &eventSize](const wyn::IMessage& event) {
    eventSize = static_cast<std::size_t>(event.getDataSize());
    payload = recordOf<T>(event);
  });
  runtime_.sendEvent(reportId, reportText.c_str(), static_cast<int>(reportText.size() + 1));
  runtime_.unsubscribe(subscription);
  if (eventSize && !payload) {
    throw CliError(ExitCode::deviceFailure, "event " + hexId(eventId) + " carried " + byteCount(*eventSize) +
                                                ", expected " + byteCount(sizeof(T)));
  }
  return payload;
}

}  // namespace LCD::Tools
