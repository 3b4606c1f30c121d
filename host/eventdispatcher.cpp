#include "host/eventdispatcher.h"

#include <utility>

#include "host/message.h"
#include "message/status.h"

namespace LCD::Host {
namespace {

// Ownership of a posted or sent message passes to the dispatcher whatever
// happens next, so it is taken before the message is checked.
std::unique_ptr<wyn::IMessage> takeMessage(wyn::IMessage** msg) {
  if (msg == nullptr) {
    return nullptr;
  }
  std::unique_ptr<wyn::IMessage> taken(*msg);
  *msg = nullptr;
  return taken;
}

bool isEvent(const std::unique_ptr<wyn::IMessage>& msg) { return msg && msg->getType() == wyn::kEventType; }

}  // namespace

EventDispatcher::EventDispatcher(HandlerRegistry& registry, SubscriberList& subscribers)
    : registry_(registry), subscribers_(subscribers) {}

wyn::IMessage* EventDispatcher::createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) {
  return Message::create(wyn::kEventType, id, sender, size, data).release();
}

void EventDispatcher::releaseMessage(wyn::IMessage** msg) { LCD::Host::releaseMessage(msg); }

int EventDispatcher::post(wyn::IMessage** msg) {
  auto event = takeMessage(msg);
  if (!isEvent(event)) {
    return wyn::status::badMessage;
  }
  const std::lock_guard<std::mutex> lock(queueMutex_);
  queue_.push_back(std::move(event));
  return wyn::status::ok;
}

int EventDispatcher::dispatchPending() {
  std::deque<std::unique_ptr<wyn::IMessage>> pending;
  {
    const std::lock_guard<std::mutex> lock(queueMutex_);
    pending.swap(queue_);
  }
  for (const auto& event : pending) {
    deliver(*event);
  }
  return static_cast<int>(pending.size());
}

int EventDispatcher::send(wyn::IMessage** msg, int /*mode*/) {
  const auto event = takeMessage(msg);
  if (!isEvent(event)) {
    return wyn::status::badMessage;
  }
  return deliver(*event);
}

int EventDispatcher::addHandler(int id, std::string handlerName) {
  return registry_.addEventListener(static_cast<std::uint32_t>(id), handlerName);
}

int EventDispatcher::deliver(const wyn::IMessage& event) {
  int result = wyn::status::ok;
  for (const auto& handler : registry_.eventListeners(event.getId())) {
    try {
      // An answer to an event has nobody to go to.
      std::unique_ptr<const wyn::IMessage> ignored(handler->handleMessage(&event));
    } catch (...) {
      result = wyn::status::handlerFailed;
    }
  }
  for (const auto& callback : subscribers_.callbacksFor(event.getId())) {
    try {
      (*callback)(event);
    } catch (...) {
      result = wyn::status::handlerFailed;
    }
  }
  return result;
}

}  // namespace LCD::Host
