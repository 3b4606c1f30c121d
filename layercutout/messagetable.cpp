#include "layercutout/layercutoutmodel.h"
#include "layercutout/log.h"
#include "layercutout/messageids.h"

namespace LayerCutout {

// The message table, in registration order. Registration results are not
// examined: a refusal by the host does not stop the rows after it.
void LayerCutoutModel::onInit() {
  if (commandDispatcher == nullptr) LCD_LOG_WARNING(Log::kOnInit) << "command dispatcher is not available.";
  if (eventDispatcher == nullptr) LCD_LOG_WARNING(Log::kOnInit) << "event dispatcher is not available.";

  using Model = LayerCutoutModel;
  const auto bind = [this](wyn::IMessage* (Model::*handler)(const wyn::IMessage*)) -> Handler {
    return [this, handler](const wyn::IMessage* msg) -> const wyn::IMessage* { return (this->*handler)(msg); };
  };
  registerCommand(static_cast<int>(MessageId::kGetLayerCutoutAssess), bind(&Model::getLayerCutoutAssess));
  registerCommand(static_cast<int>(MessageId::kSetLayerCutout), bind(&Model::setLayerCutout));
  registerCommand(static_cast<int>(MessageId::kSetLayerCutoutCursor), bind(&Model::setLayerCutoutCursor));
  registerEvent(static_cast<int>(MessageId::kLayerCutoutReport), bind(&Model::changeLayerCutout));
  registerEvent(static_cast<int>(MessageId::kLayerCutoutCursorReport), bind(&Model::changeLayerCutoutCursor));
}

}  // namespace LayerCutout
