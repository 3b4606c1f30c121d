#include <QString>
#include <cstring>
#include <string>
#include <vector>

#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

namespace {

// The report text ends at its first NUL; a payload without one is read only
// up to its stated size, never beyond.
std::string reportText(const void* payload, int size) {
  const auto* bytes = static_cast<const char*>(payload);
  const void* nul = std::memchr(bytes, '\0', static_cast<std::size_t>(size));
  const std::size_t length = nul == nullptr ? static_cast<std::size_t>(size) : static_cast<const char*>(nul) - bytes;
  return std::string(bytes, length);
}

// Decodes a report and its body into record; false, logged, on any fault or
// when the report carries an error code.
template <typename Record>
bool decodeReport(const wyn::IMessage* msg, Record& record, const char* signature) {
  const int size = msg == nullptr ? 0 : msg->getDataSize();
  const void* payload = size > 0 ? msg->getData() : nullptr;
  if (payload == nullptr) {
    LCD_LOG_WARNING(signature) << "msg data is null.";
    return false;
  }
  LCD::AutoReport::LCDAutoReportData report;
  std::string err;
  if (!LCD::ProtoModel::decode(reportText(payload, size), report, err)) {
    LCD_LOG_WARNING(signature) << err.c_str();
    return false;
  }
  if (report.tl.ErrorCode != 0) {
    LCD_LOG_WARNING(signature) << QString("auto report data error. error code : %1.").arg(report.tl.ErrorCode);
    return false;
  }
  if (!LCD::ProtoModel::decode(report.body, record, err)) {
    LCD_LOG_WARNING(signature) << err.c_str();
    return false;
  }
  return true;
}

}  // namespace

wyn::IMessage* LayerCutoutModel::changeLayerCutout(const wyn::IMessage* msg) {
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers;
  if (decodeReport(msg, layers, Log::kChangeLayerCutout)) {
    // The event carries the vector object; its elements live until send returns.
    notify(MessageId::kLayerCutoutChanged, sizeof layers, &layers, Log::kChangeLayerCutout);
  }
  return nullptr;
}

wyn::IMessage* LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage* msg) {
  LCD::ProtoModel::Layer::s_LayerCursorColorResult cursor;
  if (decodeReport(msg, cursor, Log::kChangeLayerCutoutCursor)) {
    notify(MessageId::kLayerCutoutCursorChanged, sizeof cursor, &cursor, Log::kChangeLayerCutoutCursor);
  }
  return nullptr;
}

}  // namespace LayerCutout
