#include <cstring>
#include <string>

#include "layercutout/devicerequest.h"
#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

wyn::IMessage* LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage* msg) {
  const void* payload = msg == nullptr ? nullptr : msg->getData();
  if (payload == nullptr || msg->getDataSize() != static_cast<int>(sizeof(s_ReadLayerCursorColor))) {
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor) << "command does not correct.";
    return nullptr;
  }
  s_ReadLayerCursorColor request;
  std::memcpy(&request, payload, sizeof request);
  std::string body;
  LCD::ProtoModel::encode(body, request);

  const DeviceReply reply = putJson(LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR, body);
  if (!reply.answered) {
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor)
        << "on put layer cutout sendRequest failed. url : " << LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR;
    return nullptr;
  }

  // Only a reply that decodes with code 0 is forwarded; anything else, even a
  // partly read one, is answered as the default record marked with layerId -1.
  s_LayerCursorColorResult result;
  LCD::ProtoModel::s_response<s_LayerCursorColorResult> response;
  std::string err;
  if (!LCD::ProtoModel::decode(reply.body, response, err)) {
    LCD_LOG_WARNING(Log::kSetLayerCutoutCursor) << "put layer cutout cursor result json failed :" << err.c_str();
    result.layerId = -1;
  } else if (response.code == 0) {
    result = response.data;
  } else {
    result.layerId = -1;
  }
  return answer(msg, &result, sizeof result, Log::kSetLayerCutoutCursor);
}

}  // namespace LayerCutout
