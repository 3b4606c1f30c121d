#include "host/component.h"

#include <memory>
#include <string>

#include "host/pluginerror.h"

namespace LCD::Host {
namespace {

std::string describe(const wyn::ComponentInfo& descriptor) {
  return std::string("component ") + (descriptor.name != nullptr ? descriptor.name : "(unnamed)");
}

HandlerPtr createHandler(const wyn::ComponentInfo& descriptor) {
  if (!descriptor.creator || !descriptor.deletor || !descriptor.getMessageHandler) {
    throw PluginError(describe(descriptor) + " has an incomplete descriptor");
  }
  void* raw = descriptor.creator();
  if (raw == nullptr) {
    throw PluginError(describe(descriptor) + " could not be created");
  }
  const std::shared_ptr<void> instance(raw, [&descriptor](void* created) { descriptor.deletor(created); });
  wyn::IMessageHandler* handler = descriptor.getMessageHandler(raw);
  if (handler == nullptr) {
    throw PluginError(describe(descriptor) + " has no message handler");
  }
  return HandlerPtr(instance, handler);
}

}  // namespace

Component::Component(const wyn::ComponentInfo& descriptor, Runtime& runtime)
    : runtime_(runtime), handler_(createHandler(descriptor)) {
  try {
    runtime_.initialise(handler_);
  } catch (...) {
    runtime_.remove(handler_.get());
    throw;
  }
}

Component::~Component() { runtime_.remove(handler_.get()); }

wyn::IMessageHandler& Component::handler() const { return *handler_; }

}  // namespace LCD::Host
