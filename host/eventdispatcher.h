#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "host/handlerregistry.h"
#include "host/subscriberlist.h"
#include "message/ieventdispatcher.h"

namespace LCD::Host {

// Delivers each event first to the components listening to its id, then to
// the host's subscribers, with no lock held. Posted events wait in a queue
// until dispatchPending; events posted during delivery wait for the next call,
// so a component that answers an event with an event cannot starve the pump.
class EventDispatcher final : public wyn::IEventDispatcher {
 public:
  EventDispatcher(HandlerRegistry& registry, SubscriberList& subscribers);

  wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
  void releaseMessage(wyn::IMessage** msg) override;
  int post(wyn::IMessage** msg) override;
  int dispatchPending() override;
  int send(wyn::IMessage** msg, int mode) override;
  int addHandler(int id, std::string handlerName) override;

 private:
  // Returns a wyn::status value: handlerFailed when any listener threw.
  int deliver(const wyn::IMessage& event);

  HandlerRegistry& registry_;
  SubscriberList& subscribers_;
  std::mutex queueMutex_;
  std::deque<std::unique_ptr<wyn::IMessage>> queue_;
};

}  // namespace LCD::Host
