#include "host/commanddispatcher.h"

#include <memory>
#include <utility>

#include "host/message.h"
#include "host/reply.h"
#include "message/status.h"

namespace LCD::Host {

CommandDispatcher::CommandDispatcher(HandlerRegistry& registry) : registry_(registry) {}

wyn::IMessage* CommandDispatcher::createMessage(std::uint32_t id, int size, const void* data,
                                                const std::string& sender) {
  return Message::create(wyn::kCommandType, id, sender, size, data).release();
}

// Requests and replies come back through this one slot; a reply arrives as
// wyn::releasable made it.
void CommandDispatcher::releaseMessage(wyn::IMessage** msg) {
  if (msg != nullptr && *msg != nullptr && forgetReply(*msg)) {
    delete reinterpret_cast<wyn::IReply*>(*msg);
    *msg = nullptr;
    return;
  }
  LCD::Host::releaseMessage(msg);
}

int CommandDispatcher::dispatch(wyn::IMessage** request, wyn::IReply** reply, int /*flags*/) {
  if (reply != nullptr) {
    *reply = nullptr;
  }
  if (request == nullptr || *request == nullptr || (*request)->getType() != wyn::kCommandType) {
    return wyn::status::badMessage;
  }
  const HandlerPtr handler = registry_.commandHandler((*request)->getId());
  if (!handler) {
    return wyn::status::noHandler;
  }
  std::unique_ptr<const wyn::IMessage> answer;
  try {
    answer.reset(handler->handleMessage(*request));
  } catch (...) {
    return wyn::status::handlerFailed;
  }
  if (answer && reply != nullptr) {
    *reply = new Reply(std::move(answer));
    const std::lock_guard<std::mutex> lock(repliesMutex_);
    replies_.insert(*reply);
  }
  return wyn::status::ok;
}

void CommandDispatcher::hostReserved() {}

bool CommandDispatcher::forgetReply(const void* released) {
  const std::lock_guard<std::mutex> lock(repliesMutex_);
  return replies_.erase(released) != 0;
}

int CommandDispatcher::addHandler(int id, std::string handlerName) {
  return registry_.addCommand(static_cast<std::uint32_t>(id), handlerName);
}

}  // namespace LCD::Host
