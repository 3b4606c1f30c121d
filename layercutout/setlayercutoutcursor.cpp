#include <cstring>
#include <string>

#include "layercutout/deviceexchange.h"
#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

wyn::IMessage* LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage* msg) {
  const bool sized = msg != nullptr && msg->getDataSize() == static_cast<int>(sizeof(s_ReadLayerCursorColor));
  const void* payload = sized ? msg->getData() : nullptr;
  if (payload == nullptr) {
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor) << "command does not correct.";
    return nullptr;
  }
  s_ReadLayerCursorColor request;
  std::memcpy(&request, payload, sizeof request);
  std::string body;
  LCD::ProtoModel::encode(body, request);

  DeviceExchange exchange(LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR, body);
  if (!exchange.answered()) {
    // Logged while the request still exists; the host gets no answer at all.
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor)
        << "on put layer cutout sendRequest failed. url : " << LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR;
    exchange.release();
    return nullptr;
  }

  // The message center is looked up before the reply is read, as the other
  // components of the host see it.
  s_LayerCursorColorResult result;
  wyn::IMessageCenter* center = lookUpMessageCenter(Log::kSetLayerCutoutCursor);

  // Only a reply that decodes with code 0 is forwarded; anything else, even a
  // partly read one, is answered as the default record marked with layerId -1.
  const std::string reply = exchange.replyText();
  LCD::ProtoModel::s_response<s_LayerCursorColorResult> response;
  std::string err;
  const bool decoded = LCD::ProtoModel::decode(reply, response, err);
  if (!decoded) {
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor) << "put layer cutout cursor result json failed :" << err.c_str();
  }
  exchange.release();
  if (decoded && response.code == 0) {
    result = response.data;
  } else {
    result.layerId = -1;
  }
  return answer(center, msg, &result, sizeof result);
}

}  // namespace LayerCutout
