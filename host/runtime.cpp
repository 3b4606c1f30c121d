#include "host/runtime.h"

#include <memory>
#include <utility>

#include "host/message.h"
#include "message/status.h"

namespace LCD::Host {
namespace {

std::vector<unsigned char> copyPayload(const wyn::IReply& reply) {
  const auto* bytes = static_cast<const unsigned char*>(reply.getData());
  if (bytes == nullptr || reply.getDataSize() <= 0) {
    return {};
  }
  return std::vector<unsigned char>(bytes, bytes + reply.getDataSize());
}

}  // namespace

Runtime::Runtime()
    : commandDispatcher_(registry_),
      eventDispatcher_(registry_, subscribers_),
      api_(messageCenter_, commandDispatcher_, eventDispatcher_) {}

wyn::IHostApi* Runtime::api() { return &api_; }

wyn::IMessageCenter& Runtime::messageCenter() { return messageCenter_; }

void Runtime::initialise(const HandlerPtr& handler) {
  const auto message = Message::create(wyn::kCommandType, wyn::kInitialiseId, kHostSenderName, 0, nullptr);
  registry_.setInitialising(handler);
  try {
    std::unique_ptr<const wyn::IMessage> ignored(handler->handleMessage(message.get()));
  } catch (...) {
    registry_.setInitialising(nullptr);
    throw;
  }
  registry_.setInitialising(nullptr);
}

void Runtime::remove(const wyn::IMessageHandler* handler) { registry_.remove(handler); }

CommandResult Runtime::sendCommand(std::uint32_t id, const void* data, int size) {
  wyn::IMessage* request = commandDispatcher_.createMessage(id, size, data, kHostSenderName);
  wyn::IReply* reply = nullptr;
  CommandResult result{commandDispatcher_.dispatch(&request, &reply, 0), std::nullopt};
  if (reply != nullptr) {
    result.reply = copyPayload(*reply);
  }
  wyn::IMessage* answer = wyn::releasable(reply);
  commandDispatcher_.releaseMessage(&answer);
  commandDispatcher_.releaseMessage(&request);
  return result;
}

int Runtime::sendEvent(std::uint32_t id, const void* data, int size) {
  wyn::IMessage* event = eventDispatcher_.createMessage(id, size, data, kHostSenderName);
  return eventDispatcher_.send(&event, 0);
}

int Runtime::postEvent(std::uint32_t id, const void* data, int size) {
  wyn::IMessage* event = eventDispatcher_.createMessage(id, size, data, kHostSenderName);
  return eventDispatcher_.post(&event);
}

int Runtime::pumpEvents() { return eventDispatcher_.dispatchPending(); }

SubscriptionId Runtime::subscribe(std::uint32_t eventId, EventCallback callback) {
  return subscribers_.add(eventId, std::move(callback));
}

bool Runtime::unsubscribe(SubscriptionId subscription) { return subscribers_.remove(subscription); }

}  // namespace LCD::Host
