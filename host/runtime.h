#pragma once

// The host runtime: a stand-in for the host component framework that loads
// plug-ins and routes their messages. Its parts:
//   runtime.*           Runtime: owns the services below; the host application's
//                       side (send commands and events, pump, subscribe)
//   hostapi.*           the API object plug-ins get, handing out services by name
//   messagecenter.*     makes the messages components answer commands with
//   commanddispatcher.* synchronous commands; frees the replies it handed out
//   reply.*             a command's answer as the dispatching caller sees it
//   eventdispatcher.*   sends events at once or queues them for the pump
//   subscriberlist.*    the host application's event subscriptions
//   handlerregistry.*   command and event ids to handler names to handlers
//   message.*           the one message type, owning a copy of its payload
//   pluginlibrary.*     opens a plug-in library and finds its entry points
//   component.*         one live component, made through its descriptor
//   plugin.*            a loaded plug-in with one component per descriptor
//   pluginerror.h       why a plug-in cannot be loaded
// Beside it, in reportrelay/ (it talks to the device): the relay of the
// device's report stream into the event dispatcher.

#include <cstdint>
#include <optional>
#include <vector>

#include "host/commanddispatcher.h"
#include "host/eventdispatcher.h"
#include "host/handlerregistry.h"
#include "host/hostapi.h"
#include "host/messagecenter.h"
#include "host/subscriberlist.h"

namespace LCD::Host {

// Sender name of the messages the host application sends itself.
constexpr const char kHostSenderName[] = "host";

struct CommandResult {
  // A wyn::status value.
  int status;
  // The answer's payload, when the handler answered.
  std::optional<std::vector<unsigned char>> reply;
};

// One host process's framework: the three services behind the API object
// handed to plug-ins, plus the host application's side of them. Components
// and plug-ins loaded into a runtime must be gone before it is destroyed.
class Runtime {
 public:
  Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  wyn::IHostApi* api();
  wyn::IMessageCenter& messageCenter();

  // Sends the initialise message to `handler`; every handler name it
  // announces during that call is bound to it. One component at a time, on
  // one thread. Exceptions propagate.
  void initialise(const HandlerPtr& handler);
  // Stops routing to `handler`; deliveries already under way finish.
  void remove(const wyn::IMessageHandler* handler);

  CommandResult sendCommand(std::uint32_t id, const void* data, int size);
  // Delivers before returning; a wyn::status value.
  int sendEvent(std::uint32_t id, const void* data, int size);
  // Queues for pumpEvents; a wyn::status value.
  int postEvent(std::uint32_t id, const void* data, int size);
  // Delivers the queued events; returns how many.
  int pumpEvents();

  SubscriptionId subscribe(std::uint32_t eventId, EventCallback callback);
  bool unsubscribe(SubscriptionId subscription);

 private:
  HandlerRegistry registry_;
  SubscriberList subscribers_;
  MessageCenter messageCenter_;
  CommandDispatcher commandDispatcher_;
  EventDispatcher eventDispatcher_;
  HostApi api_;
};

}  // namespace LCD::Host
