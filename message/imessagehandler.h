#pragma once

#include "message/imessage.h"

namespace wyn {

// What a component offers the host: one entry point for every message. The
// argument stays the caller's; a returned reply was made by the message center
// and passes to the host. Vtable: destructor (two slots), handleMessage.
class IMessageHandler {
 public:
  virtual ~IMessageHandler() = default;
  virtual const IMessage* handleMessage(const IMessage* msg) = 0;
};

}  // namespace wyn
