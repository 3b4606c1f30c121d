#pragma once

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessagecenter.h"

namespace LCD::Host {

// Hands the three services to plug-ins by name; owns none of them.
class HostApi final : public wyn::IHostApi {
 public:
  static constexpr const char kApiVersion[] = "0.1";

  HostApi(wyn::IMessageCenter& messageCenter, wyn::ICommandDispatcher& commandDispatcher,
          wyn::IEventDispatcher& eventDispatcher);

  const char* getApiVersion() const override;
  void* getService(const char* name) override;

 private:
  wyn::IMessageCenter& messageCenter_;
  wyn::ICommandDispatcher& commandDispatcher_;
  wyn::IEventDispatcher& eventDispatcher_;
};

}  // namespace LCD::Host
