#pragma once

#include <cstdint>
#include <string>

#include "message/imessage.h"

namespace wyn {

// Service "eventdispatcher": events from a component to every listener, that
// is every component that registered the id and every host subscriber.
// Vtable: createMessage, releaseMessage, post, dispatchPending, send,
// addHandler, destructor.
class IEventDispatcher {
 public:
  // An event-type message with a copy of the payload; null when the payload
  // is invalid (see IMessageCenter::createMessage).
  virtual IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) = 0;
  // Frees *msg (null is allowed) and clears the pointer.
  virtual void releaseMessage(IMessage** msg) = 0;
  // Queues the event for the next dispatchPending. Takes ownership and
  // clears *msg. Returns a wyn::status value.
  virtual int post(IMessage** msg) = 0;
  // Delivers the events queued so far; returns how many were delivered.
  virtual int dispatchPending() = 0;
  // Delivers the event before returning. Takes ownership and clears *msg.
  // `mode` is accepted for compatibility and has no effect.
  virtual int send(IMessage** msg, int mode) = 0;
  // Adds the handler named `handlerName` to the listeners of event `id`.
  virtual int addHandler(int id, std::string handlerName) = 0;
  virtual ~IEventDispatcher() = default;
};

}  // namespace wyn
