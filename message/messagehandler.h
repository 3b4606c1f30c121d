#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/imessage.h"
#include "message/imessagecenter.h"
#include "message/imessagehandler.h"

namespace LCD {
namespace Message {

// Base of every component: keeps the command and event registries, announces
// each registration to the host, routes incoming messages by type and id, and
// sends messages of its own. A derived class names itself in its constructor
// and registers its handlers in onInit.
class MessageHandler : public wyn::IMessageHandler {
 public:
  using Handler = std::function<const wyn::IMessage*(const wyn::IMessage*)>;

  MessageHandler();
  ~MessageHandler() override;

  MessageHandler(const MessageHandler&) = delete;
  MessageHandler& operator=(const MessageHandler&) = delete;

  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override;

  // Returns the dispatcher's result, or wyn's bad-message status when the host
  // offers no dispatcher (the handler is still kept for routing).
  int registerCommand(int id, Handler&& handler);
  int registerEvent(int id, Handler&& handler);

  // Returns the dispatcher's status; replyBuffer receives the reply only when
  // its size is exactly replySize.
  int sendCommand(int id, int size, void* data, int replySize, void* replyBuffer);
  int postEvent(int id, int size, void* data);
  int sendEvent(int id, int size, void* data);

 protected:
  virtual void onInit() = 0;
  virtual const wyn::IMessage* processMsg(int id, const wyn::IMessage* msg);

  wyn::ICommandDispatcher* commandDispatcher;
  wyn::IEventDispatcher* eventDispatcher;
  wyn::IMessageCenter* messageCenter;
  std::string name;

 private:
  using Registry = std::unordered_map<std::int32_t, Handler>;

  void keepFirst(Registry& registry, int id, Handler&& handler);

  std::mutex mutex;
  Registry commandHandlers;
  Registry eventHandlers;
};

}  // namespace Message
}  // namespace LCD
