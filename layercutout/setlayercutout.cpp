#include <string>
#include <vector>

#include "layercutout/devicerequest.h"
#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

using LayerSettings = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;

wyn::IMessage* LayerCutoutModel::setLayerCutout(const wyn::IMessage* msg) {
  const void* payload = msg == nullptr ? nullptr : msg->getData();
  if (payload == nullptr || msg->getDataSize() != static_cast<int>(sizeof(LayerSettings))) {
    LCD_LOG_WARNING(Log::kSetLayerCutout) << "command does not correct.";
    return nullptr;
  }
  // The payload is the sender's vector object; its elements stay the sender's.
  const auto& layers = *static_cast<const LayerSettings*>(payload);
  std::string body;
  LCD::ProtoModel::encode(body, layers);

  const DeviceReply reply = putJson(LCD::Proto::Constants::PUTLAYERSCUTOUT, body);
  if (!reply.answered) {
    LCD_LOG_WARNING(Log::kSetLayerCutout)
        << "on put layer cutout sendRequest failed. url : " << LCD::Proto::Constants::PUTLAYERSCUTOUT;
    return nullptr;
  }

  // A reply that does not decode is no failure by itself: code keeps what was
  // read, which is 0 when the reply never reached a "code" member.
  LCD::ProtoModel::s_nullResponse response;
  std::string err;
  if (!LCD::ProtoModel::decode(reply.body, response, err)) {
    LCD_LOG_WARNING(Log::kSetLayerCutout) << "put layer cutout result json failed : " << err.c_str();
  }
  unsigned char succeeded = response.code == 0 ? 1 : 0;
  return answer(msg, &succeeded, sizeof succeeded, Log::kSetLayerCutout);
}

}  // namespace LayerCutout
