#pragma once

namespace wyn {

// Names under which the host offers its services.
constexpr const char kMessageCenterService[] = "wyn_default_messagecenter";
constexpr const char kCommandDispatcherService[] = "commanddispatcher";
constexpr const char kEventDispatcherService[] = "eventdispatcher";

// The object a plug-in receives through pluginit. Vtable: destructor (two
// slots), getApiVersion, getService.
class IHostApi {
 public:
  virtual ~IHostApi() = default;
  virtual const char* getApiVersion() const = 0;
  // The service registered under `name` (an IMessageCenter*,
  // ICommandDispatcher* or IEventDispatcher* for the names above), or null.
  // The host keeps ownership.
  virtual void* getService(const char* name) = 0;
};

}  // namespace wyn
