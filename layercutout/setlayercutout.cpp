#include <string>
#include <vector>

#include "layercutout/deviceexchange.h"
#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

using LayerSettings = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;

wyn::IMessage* LayerCutoutModel::setLayerCutout(const wyn::IMessage* msg) {
  // The payload is the sender's vector object; its elements stay the sender's.
  const bool sized = msg != nullptr && msg->getDataSize() == static_cast<int>(sizeof(LayerSettings));
  const void* payload = sized ? msg->getData() : nullptr;
  if (payload == nullptr) {
    LCD_LOG_WARNING(Log::kSetLayerCutout) << "command does not correct.";
    return nullptr;
  }
  std::string body;
  LCD::ProtoModel::encode(body, *static_cast<const LayerSettings*>(payload));

  DeviceExchange exchange(LCD::Proto::Constants::PUTLAYERSCUTOUT, body);
  if (!exchange.answered()) {
    // Logged while the request still exists; the host gets no answer at all.
    LCD_LOG_WARNING(Log::kSetLayerCutout)
        << "on put layer cutout sendRequest failed. url : " << LCD::Proto::Constants::PUTLAYERSCUTOUT;
    exchange.release();
    return nullptr;
  }

  // A reply that does not decode is no failure by itself: code keeps what was
  // read, which is 0 when the reply never reached a "code" member.
  const std::string reply = exchange.replyText();
  LCD::ProtoModel::s_nullResponse response;
  std::string err;
  if (!LCD::ProtoModel::decode(reply, response, err)) {
    LCD_LOG_WARNING(Log::kSetLayerCutout) << "put layer cutout result json failed : " << err.c_str();
  }
  unsigned char succeeded = response.code == 0 ? 1 : 0;
  exchange.release();

  wyn::IMessageCenter* center = lookUpMessageCenter(Log::kSetLayerCutout);
  return answer(center, msg, &succeeded, sizeof succeeded);
}

}  // namespace LayerCutout
