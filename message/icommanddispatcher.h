#pragma once

#include <cstdint>
#include <string>

#include "message/imessage.h"
#include "message/ireply.h"

namespace wyn {

// Service "commanddispatcher": synchronous commands between components.
// Vtable: createMessage, releaseMessage, dispatch, hostReserved, addHandler,
// destructor.
class ICommandDispatcher {
 public:
  // A command-type message with a copy of the payload; null when the
  // payload is invalid (see IMessageCenter::createMessage).
  virtual IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) = 0;
  // Frees *msg (null is allowed) and clears the pointer. Frees the replies
  // of dispatch too: a component passes the reply pointer converted to an
  // IMessage*, and the dispatcher knows the replies it handed out.
  virtual void releaseMessage(IMessage** msg) = 0;
  // Runs the handler registered for the request's id on the calling thread.
  // *reply becomes the answer or null. The request stays the caller's.
  // `flags` is reserved and must be 0. Returns a wyn::status value.
  virtual int dispatch(IMessage** request, IReply** reply, int flags) = 0;
  // The host's own slot; components never call it.
  virtual void hostReserved() = 0;
  // Routes command `id` to the handler named `handlerName`. Returns a
  // wyn::status value.
  virtual int addHandler(int id, std::string handlerName) = 0;
  virtual ~ICommandDispatcher() = default;
};

}  // namespace wyn
