#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessagecenter.h"
#include "message/imessagehandler.h"

// An in-process component for routing tests: registers the given ids under
// its handler name when initialised, records what it receives and answers
// through `answer` (by default with a copy of the payload).
class ScriptedComponent : public wyn::IMessageHandler {
 public:
  struct Received {
    std::uint32_t type;
    std::uint32_t id;
    std::string sender;
    std::vector<unsigned char> payload;
  };
  using Answer = std::function<const wyn::IMessage*(ScriptedComponent& self, const wyn::IMessage& msg)>;

  ScriptedComponent(wyn::IHostApi* api, std::string name, std::vector<std::uint32_t> commands,
                    std::vector<std::uint32_t> events = {})
      : name_(std::move(name)),
        commandIds_(std::move(commands)),
        eventIds_(std::move(events)),
        messageCenter_(static_cast<wyn::IMessageCenter*>(api->getService(wyn::kMessageCenterService))),
        commands_(static_cast<wyn::ICommandDispatcher*>(api->getService(wyn::kCommandDispatcherService))),
        events_(static_cast<wyn::IEventDispatcher*>(api->getService(wyn::kEventDispatcherService))) {}

  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    if (msg->getId() == wyn::kInitialiseId) {
      registerIds();
      return nullptr;
    }
    record(*msg);
    return answer ? answer(*this, *msg) : copyOf(*msg);
  }

  const wyn::IMessage* answerWith(const wyn::IMessage& msg, const void* data, int size) {
    return messageCenter_->createMessage(msg.getId(), name_, size, data, 0);
  }

  const wyn::IMessage* copyOf(const wyn::IMessage& msg) { return answerWith(msg, msg.getData(), msg.getDataSize()); }

  std::vector<Received> received() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  Answer answer;
  std::vector<int> registrationResults;

 private:
  void registerIds() {
    for (const auto id : commandIds_) {
      registrationResults.push_back(commands_->addHandler(static_cast<int>(id), name_));
    }
    for (const auto id : eventIds_) {
      registrationResults.push_back(events_->addHandler(static_cast<int>(id), name_));
    }
  }

  void record(const wyn::IMessage& msg) {
    const auto* bytes = static_cast<const unsigned char*>(msg.getData());
    Received entry{msg.getType(), msg.getId(), msg.getSender(), {}};
    if (bytes != nullptr) {
      entry.payload.assign(bytes, bytes + msg.getDataSize());
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    received_.push_back(std::move(entry));
  }

  std::string name_;
  std::vector<std::uint32_t> commandIds_;
  std::vector<std::uint32_t> eventIds_;
  wyn::IMessageCenter* messageCenter_;
  wyn::ICommandDispatcher* commands_;
  wyn::IEventDispatcher* events_;
  mutable std::mutex mutex_;
  std::vector<Received> received_;
};
