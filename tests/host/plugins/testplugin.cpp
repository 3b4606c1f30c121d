// A plug-in for the loader tests, built the way a real one is: components
// described through wyn::ComponentTmpl, services reached through the API
// object that pluginit stored.

#include <algorithm>
#include <vector>

#include "message/api.h"
#include "message/componenttmpl.h"
#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/imessagecenter.h"
#include "message/plugininfo.h"
#include "tests/host/plugins/testpluginprotocol.h"

namespace TestPlugin {

template <typename Service>
Service* service(const char* name) {
  return static_cast<Service*>(wyn::api::get().host->getService(name));
}

class EchoComponent final : public wyn::IMessageHandler {
 public:
  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    if (msg->getId() == wyn::kInitialiseId) {
      commands_->addHandler(static_cast<int>(kReverseCommand), kEchoHandler);
      events_->addHandler(static_cast<int>(kPingEvent), kEchoHandler);
      return nullptr;
    }
    return msg->getId() == kReverseCommand ? reverse(*msg) : pong(*msg);
  }

 private:
  const wyn::IMessage* reverse(const wyn::IMessage& command) {
    const auto* bytes = static_cast<const unsigned char*>(command.getData());
    std::vector<unsigned char> answer(bytes, bytes + command.getDataSize());
    std::reverse(answer.begin(), answer.end());
    return messageCenter_->createMessage(command.getId(), kEchoHandler, static_cast<int>(answer.size()), answer.data(),
                                         0);
  }

  const wyn::IMessage* pong(const wyn::IMessage& ping) {
    wyn::IMessage* event = events_->createMessage(kPongEvent, ping.getDataSize(), ping.getData(), kEchoHandler);
    events_->send(&event, 9);
    return nullptr;
  }

  wyn::IMessageCenter* messageCenter_ = service<wyn::IMessageCenter>(wyn::kMessageCenterService);
  wyn::ICommandDispatcher* commands_ = service<wyn::ICommandDispatcher>(wyn::kCommandDispatcherService);
  wyn::IEventDispatcher* events_ = service<wyn::IEventDispatcher>(wyn::kEventDispatcherService);
};

// Sends a command of its own, the way a component waits for another one.
class RelayComponent final : public wyn::IMessageHandler {
 public:
  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    if (msg->getId() == wyn::kInitialiseId) {
      commands_->addHandler(static_cast<int>(kRelayCommand), kRelayHandler);
      return nullptr;
    }
    wyn::IMessage* request =
        commands_->createMessage(kReverseCommand, msg->getDataSize(), msg->getData(), kRelayHandler);
    wyn::IReply* reply = nullptr;
    commands_->dispatch(&request, &reply, 0);
    const wyn::IMessage* answer = nullptr;
    if (reply != nullptr) {
      answer = messageCenter_->createMessage(msg->getId(), kRelayHandler, reply->getDataSize(), reply->getData(), 0);
      wyn::IMessage* event =
          events_->createMessage(kRelayedEvent, reply->getDataSize(), reply->getData(), kRelayHandler);
      events_->post(&event);
    }
    wyn::IMessage* released = wyn::releasable(reply);
    commands_->releaseMessage(&released);
    commands_->releaseMessage(&request);
    return answer;
  }

 private:
  wyn::IMessageCenter* messageCenter_ = service<wyn::IMessageCenter>(wyn::kMessageCenterService);
  wyn::ICommandDispatcher* commands_ = service<wyn::ICommandDispatcher>(wyn::kCommandDispatcherService);
  wyn::IEventDispatcher* events_ = service<wyn::IEventDispatcher>(wyn::kEventDispatcherService);
};

}  // namespace TestPlugin

template <>
wyn::ComponentInfo wyn::ComponentTmpl<TestPlugin::EchoComponent>::componentInfo =
    wyn::ComponentTmpl<TestPlugin::EchoComponent>::describe(TestPlugin::kEchoComponent, "{\"end\":0 }\r\n");

template <>
wyn::ComponentInfo wyn::ComponentTmpl<TestPlugin::RelayComponent>::componentInfo =
    wyn::ComponentTmpl<TestPlugin::RelayComponent>::describe(TestPlugin::kRelayComponent, "{}");

namespace {

wyn::ComponentInfo* const componentTable[] = {
    &wyn::ComponentTmpl<TestPlugin::EchoComponent>::componentInfo,
    &wyn::ComponentTmpl<TestPlugin::RelayComponent>::componentInfo,
    nullptr,
};

}  // namespace

const wyn::PluginInfo* pluginfo() {
  static const wyn::PluginInfo record = {"0.1", componentTable, TestPlugin::kPluginName, TestPlugin::kPluginVersion,
                                         "{}"};
  return &record;
}

void pluginit(wyn::IHostApi* api) { wyn::api::get().host = api; }
