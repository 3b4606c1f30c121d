#include "host/hostapi.h"

#include <cstring>

namespace LCD::Host {

HostApi::HostApi(wyn::IMessageCenter& messageCenter, wyn::ICommandDispatcher& commandDispatcher,
                 wyn::IEventDispatcher& eventDispatcher)
    : messageCenter_(messageCenter), commandDispatcher_(commandDispatcher), eventDispatcher_(eventDispatcher) {}

const char* HostApi::getApiVersion() const { return kApiVersion; }

// Callers cast the result back to the interface named by the service, so the
// pointer handed out is the interface's, not the implementing object's.
void* HostApi::getService(const char* name) {
  if (name == nullptr) {
    return nullptr;
  }
  if (std::strcmp(name, wyn::kMessageCenterService) == 0) {
    return &messageCenter_;
  }
  if (std::strcmp(name, wyn::kCommandDispatcherService) == 0) {
    return &commandDispatcher_;
  }
  if (std::strcmp(name, wyn::kEventDispatcherService) == 0) {
    return &eventDispatcher_;
  }
  return nullptr;
}

}  // namespace LCD::Host
