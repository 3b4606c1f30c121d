#pragma once

#include "host/handlerregistry.h"
#include "host/runtime.h"
#include "message/componentinfo.h"
#include "message/imessagehandler.h"

namespace LCD::Host {

// One live component: made through its descriptor, initialised in a runtime,
// removed from it and destroyed through the descriptor's deletor when this
// object goes, or after that when a delivery still holds it. The descriptor
// must outlive the instance; a plug-in's does, as its library stays mapped.
class Component {
 public:
  // Throws PluginError when the descriptor yields no instance or no
  // handler; exceptions from the creator or the initialisation propagate.
  Component(const wyn::ComponentInfo& descriptor, Runtime& runtime);
  ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  wyn::IMessageHandler& handler() const;

 private:
  Runtime& runtime_;
  HandlerPtr handler_;
};

}  // namespace LCD::Host
