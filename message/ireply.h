#pragma once

#include "message/imessage.h"

namespace wyn {

// The answer to a dispatched command, released through the command dispatcher.
// Vtable: getMessage, getData, getDataSize, then the destructor (two slots);
// the destructor comes last because plug-ins expect getData in slot two.
class IReply {
 public:
  // The answering message, owned by the reply.
  virtual const IMessage* getMessage() const = 0;
  virtual const void* getData() const = 0;
  virtual int getDataSize() const = 0;
  virtual ~IReply() = default;
};

// The form in which a reply goes back to ICommandDispatcher::releaseMessage;
// the dispatcher that handed the reply out converts it back.
inline IMessage* releasable(IReply* reply) { return reinterpret_cast<IMessage*>(reply); }

}  // namespace wyn
