#include "message/messagehandler.h"

#include <cstring>

#include "message/api.h"
#include "message/ihostapi.h"
#include "message/status.h"

namespace LCD {
namespace Message {

namespace {

constexpr int kSendMode = 9;

// The API object is read afresh for each service: a missing one leaves that
// service unset instead of failing the component.
template <typename Service>
Service* lookUpService(const char* serviceName) {
  wyn::IHostApi* api = wyn::api::get().host;
  return api == nullptr ? nullptr : static_cast<Service*>(api->getService(serviceName));
}

bool isIgnoredId(std::uint32_t id) {
  return id == wyn::kReservedId1 || id == wyn::kReservedId2 || id == wyn::kReservedId3 || id == wyn::kReservedId4;
}

}  // namespace

MessageHandler::MessageHandler() : commandDispatcher(nullptr), eventDispatcher(nullptr), messageCenter(nullptr) {
  messageCenter = lookUpService<wyn::IMessageCenter>(wyn::kMessageCenterService);
  commandDispatcher = lookUpService<wyn::ICommandDispatcher>(wyn::kCommandDispatcherService);
  eventDispatcher = lookUpService<wyn::IEventDispatcher>(wyn::kEventDispatcherService);
}

MessageHandler::~MessageHandler() = default;

const wyn::IMessage* MessageHandler::handleMessage(const wyn::IMessage* msg) {
  if (msg == nullptr) return nullptr;
  const std::uint32_t id = msg->getId();
  if (id == wyn::kInitialiseId) {
    onInit();
    return nullptr;
  }
  if (isIgnoredId(id)) return nullptr;
  return processMsg(static_cast<int>(msg->getId()), msg);
}

const wyn::IMessage* MessageHandler::processMsg(int id, const wyn::IMessage* msg) {
  const Registry* registry = nullptr;
  switch (msg->getType()) {
    case wyn::kCommandType: registry = &commandHandlers; break;
    case wyn::kEventType: registry = &eventHandlers; break;
    default: return nullptr;
  }
  const auto found = registry->find(id);
  if (found == registry->end()) return nullptr;
  const Handler handler = found->second;  // run on a copy, with no lock held
  if (!handler) return nullptr;
  return handler(msg);
}

void MessageHandler::keepFirst(Registry& registry, int id, Handler&& handler) {
  std::lock_guard<std::mutex> lock(mutex);
  registry.try_emplace(id, std::move(handler));
  handler = nullptr;  // the caller's function is left empty whether or not it was kept
}

int MessageHandler::registerCommand(int id, Handler&& handler) {
  keepFirst(commandHandlers, id, std::move(handler));
  if (commandDispatcher == nullptr) return wyn::status::badMessage;
  return commandDispatcher->addHandler(id, std::string(name));
}

int MessageHandler::registerEvent(int id, Handler&& handler) {
  keepFirst(eventHandlers, id, std::move(handler));
  if (eventDispatcher == nullptr) return wyn::status::badMessage;
  return eventDispatcher->addHandler(id, std::string(name));
}

int MessageHandler::sendCommand(int id, int size, void* data, int replySize, void* replyBuffer) {
  if (commandDispatcher == nullptr) return wyn::status::badMessage;
  wyn::IMessage* request = commandDispatcher->createMessage(static_cast<std::uint32_t>(id), size, data, name);
  wyn::IReply* reply = nullptr;
  const int status = commandDispatcher->dispatch(&request, &reply, 0);
  if (reply != nullptr && reply->getDataSize() == replySize) {
    const void* replyData = reply->getData();
    if (replySize != 0 && replyData != nullptr)
      std::memmove(replyBuffer, replyData, static_cast<std::size_t>(replySize));
  }
  // Both go back through the one releaseMessage, the reply first.
  wyn::IMessage* replyMessage = wyn::releasable(reply);
  commandDispatcher->releaseMessage(&replyMessage);
  commandDispatcher->releaseMessage(&request);
  return status;
}

int MessageHandler::postEvent(int id, int size, void* data) {
  if (eventDispatcher == nullptr) return wyn::status::badMessage;
  wyn::IMessage* message = eventDispatcher->createMessage(static_cast<std::uint32_t>(id), size, data, name);
  return eventDispatcher->post(&message);
}

int MessageHandler::sendEvent(int id, int size, void* data) {
  if (eventDispatcher == nullptr) return wyn::status::badMessage;
  wyn::IMessage* message = eventDispatcher->createMessage(static_cast<std::uint32_t>(id), size, data, name);
  return eventDispatcher->send(&message, kSendMode);
}

}  // namespace Message
}  // namespace LCD
