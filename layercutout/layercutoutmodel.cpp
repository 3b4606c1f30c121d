#include "layercutout/layercutoutmodel.h"

#include "layercutout/log.h"
#include "message/api.h"
#include "message/ihostapi.h"

namespace LayerCutout {

LayerCutoutModel::LayerCutoutModel() { name = "layercutoutmodel"; }

LayerCutoutModel::~LayerCutoutModel() = default;

wyn::IMessageCenter* LayerCutoutModel::lookUpMessageCenter(const char* signature) {
  wyn::IHostApi* api = wyn::api::get().host;
  if (api == nullptr) {
    LCD_LOG_WARNING(signature) << "host api is not available.";
    return nullptr;
  }
  auto* center = static_cast<wyn::IMessageCenter*>(api->getService(wyn::kMessageCenterService));
  if (center == nullptr) LCD_LOG_WARNING(signature) << "message center is not available.";
  return center;
}

wyn::IMessage* LayerCutoutModel::answer(wyn::IMessageCenter* center, const wyn::IMessage* command, const void* data,
                                        int size) {
  return center == nullptr ? nullptr : center->createMessage(command->getId(), name, size, data, 0);
}

void LayerCutoutModel::notify(std::uint32_t eventId, int size, void* data, const char* signature) {
  if (eventDispatcher == nullptr) {
    LCD_LOG_WARNING(signature) << "event dispatcher is not available.";
    return;
  }
  sendEvent(static_cast<int>(eventId), size, data);
}

}  // namespace LayerCutout
