#pragma once

#include "message/imessage.h"
#include "message/imessagecenter.h"
#include "message/messagehandler.h"

namespace LayerCutout {

// The layer cutout component: three commands that reach the device and two
// device reports that it turns into host events. All state lives in the
// message handler base or in each handler call.
class LayerCutoutModel : public LCD::Message::MessageHandler {
 public:
  LayerCutoutModel();
  ~LayerCutoutModel() override;

  // Command 0xfc050413: sends cutout settings; answers one byte, 1 on success.
  wyn::IMessage* setLayerCutout(const wyn::IMessage* msg);
  // Command 0xfc050415: reads the colour under the cutout cursor; answers the
  // 28-byte result, layerId -1 on failure.
  wyn::IMessage* setLayerCutoutCursor(const wyn::IMessage* msg);
  // Command 0xfc050414: assesses settings into the caller's exchange record.
  wyn::IMessage* getLayerCutoutAssess(const wyn::IMessage* msg);
  // Report 0x81110: sends event 0xfc08040e with the reported settings.
  wyn::IMessage* changeLayerCutout(const wyn::IMessage* msg);
  // Report 0x81111: sends event 0xfc08040f with the reported cursor colour.
  wyn::IMessage* changeLayerCutoutCursor(const wyn::IMessage* msg);

 protected:
  void onInit() override;

 private:
  // The host's message center, looked up anew for every answer; null, logged,
  // when the host offers none.
  wyn::IMessageCenter* lookUpMessageCenter(const char* signature);
  // A new message with the command's id and the handler's name as sender.
  wyn::IMessage* answer(wyn::IMessageCenter* center, const wyn::IMessage* command, const void* data, int size);
  // Sends a notification event; logged and dropped without an event dispatcher.
  void notify(std::uint32_t eventId, int size, void* data, const char* signature);
};

}  // namespace LayerCutout
