#pragma once

#include <functional>

#include "message/imessagehandler.h"

namespace wyn {

// Describes one component type of a plug-in: how the host creates and
// destroys an instance and reaches its message handler.
struct ComponentInfo {
  // A new instance, or null when it could not be allocated.
  std::function<void*()> creator;
  // Destroys an instance made by creator; null is allowed.
  std::function<void(void*)> deletor;
  std::function<IMessageHandler*(void*)> getMessageHandler;
  const char* name;
  const char* info;
};

}  // namespace wyn
