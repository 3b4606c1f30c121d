#include <cstring>
#include <string>
#include <utility>

#include "layercutout/assessexchange.h"
#include "layercutout/deviceexchange.h"
#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

namespace {

// The exchange record the payload points to, or null when there is no payload
// or it holds a null pointer. The payload's size is taken on trust: every
// sender puts the pointer there.
AssessExchange* exchangeRecord(const wyn::IMessage* msg) {
  const void* payload = msg == nullptr ? nullptr : msg->getData();
  if (payload == nullptr) return nullptr;
  AssessExchange* record = nullptr;
  std::memcpy(&record, payload, sizeof record);
  return record;
}

}  // namespace

// Answers nothing: the caller finds the outcome in its own record, which is
// written only for a reply with code 0 and at least one result.
wyn::IMessage* LayerCutoutModel::getLayerCutoutAssess(const wyn::IMessage* msg) {
  AssessExchange* record = exchangeRecord(msg);
  if (record == nullptr) {
    LCD_LOG_WARNING(Log::kGetLayerCutoutAssess) << "resp does not matches.";
    return nullptr;
  }
  std::string body;
  LCD::ProtoModel::encode(body, record->layers);

  DeviceExchange exchange(LCD::Proto::Constants::TAVROPROTOPUTASSESSLAYERCUTOUT, body);
  if (!exchange.answered()) {
    // Logged while the request still exists.
    LCD_LOG_WARNING(Log::kGetLayerCutoutAssess) << "on put layer cutout assess sendRequest failed. url : "
                                                << LCD::Proto::Constants::TAVROPROTOPUTASSESSLAYERCUTOUT;
    exchange.release();
    return nullptr;
  }

  const std::string reply = exchange.replyText();
  LCD::ProtoModel::AssessResponse response;
  std::string err;
  if (!LCD::ProtoModel::decode(reply, response, err)) {
    LCD_LOG_CRITICAL(Log::kGetLayerCutoutAssess) << "Layer cutout assess decode json failed : " << err.c_str();
    exchange.release();
    return nullptr;
  }
  exchange.release();
  if (response.code == 0 && !response.data.empty()) {
    record->result.code = response.code;
    record->result.message = response.message;
    record->result.data = std::move(response.data);
  }
  return nullptr;
}

}  // namespace LayerCutout
