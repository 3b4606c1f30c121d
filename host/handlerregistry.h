#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "message/imessagehandler.h"

namespace LCD::Host {

using HandlerPtr = std::shared_ptr<wyn::IMessageHandler>;

// Who handles what. Components announce registrations by handler name only,
// so a name is bound to the component being initialised when it announces it;
// ids map to names, names to handlers. Lookups hand out shared pointers, so a
// handler removed while a message is being delivered to it stays alive until
// the delivery returns.
class HandlerRegistry {
 public:
  // Names announced from now on are bound to `handler`; null ends the
  // initialisation. Components are initialised one at a time.
  void setInitialising(HandlerPtr handler);

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
  int bindInitialising(const std::string& handlerName);
  HandlerPtr handlerNamed(const std::string& handlerName) const;

  mutable std::mutex mutex_;
  HandlerPtr initialising_;
  std::unordered_map<std::string, HandlerPtr> handlersByName_;
  std::unordered_map<std::uint32_t, std::string> commandOwners_;
  std::unordered_map<std::uint32_t, std::vector<std::string>> eventListeners_;
};

}  // namespace LCD::Host
