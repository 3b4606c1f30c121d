#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "message/imessagehandler.h"

namespace LCD::Host {

using HandlerPtr = std::shared_ptr<wyn::IMessageHandler>;

// Who handles what. Components announce registrations by handler name only,
// so a name is bound to a handler object while that handler is being
// initialised (see InitScope); ids map to names, names to handlers.
// Lookups hand out shared pointers, so a handler removed while a message is
// being delivered to it stays alive until the delivery returns.
class HandlerRegistry {
 public:
  // While alive, names announced from the constructing thread are bound to
  // `handler`. Scopes on other threads are independent.
  class InitScope {
   public:
    InitScope(HandlerRegistry& registry, HandlerPtr handler);
    ~InitScope();
    InitScope(const InitScope&) = delete;
    InitScope& operator=(const InitScope&) = delete;

   private:
    HandlerRegistry& registry_;
    HandlerPtr previous_;
  };

  // Each returns a wyn::status value. A name announced outside any
  // initialisation is recorded all the same; it routes once bound.
  int addCommand(std::uint32_t id, const std::string& handlerName);
  int addEventListener(std::uint32_t id, const std::string& handlerName);

  // Null when no bound handler has registered the command.
  HandlerPtr commandHandler(std::uint32_t id) const;
  // In registration order.
  std::vector<HandlerPtr> eventListeners(std::uint32_t id) const;

  // Forgets the handler's names and every id registered under them.
  void remove(const wyn::IMessageHandler* handler);

 private:
  HandlerPtr swapInitialising(HandlerPtr handler);
  int bindInitialising(const std::string& handlerName);
  HandlerPtr handlerNamed(const std::string& handlerName) const;

  mutable std::mutex mutex_;
  std::unordered_map<std::thread::id, HandlerPtr> initialising_;
  std::unordered_map<std::string, HandlerPtr> handlersByName_;
  std::unordered_map<std::uint32_t, std::string> commandOwners_;
  std::unordered_map<std::uint32_t, std::vector<std::string>> eventListeners_;
};

}  // namespace LCD::Host
