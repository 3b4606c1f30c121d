#include "host/handlerregistry.h"

#include <algorithm>
#include <utility>

#include "message/status.h"

namespace LCD::Host {

void HandlerRegistry::setInitialising(HandlerPtr handler) {
  const std::lock_guard<std::mutex> lock(mutex_);
  initialising_ = std::move(handler);
}

int HandlerRegistry::bindInitialising(const std::string& handlerName) {
  if (!initialising_) {
    return wyn::status::ok;
  }
  const auto [bound, inserted] = handlersByName_.emplace(handlerName, initialising_);
  return inserted || bound->second == initialising_ ? wyn::status::ok : wyn::status::nameTaken;
}

int HandlerRegistry::addCommand(std::uint32_t id, const std::string& handlerName) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (const int bound = bindInitialising(handlerName); bound != wyn::status::ok) {
    return bound;
  }
  const auto [owner, inserted] = commandOwners_.emplace(id, handlerName);
  return inserted || owner->second == handlerName ? wyn::status::ok : wyn::status::idTaken;
}

int HandlerRegistry::addEventListener(std::uint32_t id, const std::string& handlerName) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (const int bound = bindInitialising(handlerName); bound != wyn::status::ok) {
    return bound;
  }
  auto& names = eventListeners_[id];
  if (std::find(names.begin(), names.end(), handlerName) == names.end()) {
    names.push_back(handlerName);
  }
  return wyn::status::ok;
}

HandlerPtr HandlerRegistry::handlerNamed(const std::string& handlerName) const {
  const auto found = handlersByName_.find(handlerName);
  return found == handlersByName_.end() ? nullptr : found->second;
}

HandlerPtr HandlerRegistry::commandHandler(std::uint32_t id) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto owner = commandOwners_.find(id);
  return owner == commandOwners_.end() ? nullptr : handlerNamed(owner->second);
}

std::vector<HandlerPtr> HandlerRegistry::eventListeners(std::uint32_t id) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HandlerPtr> handlers;
  const auto names = eventListeners_.find(id);
  if (names == eventListeners_.end()) {
    return handlers;
  }
  for (const auto& name : names->second) {
    if (auto handler = handlerNamed(name)) {
      handlers.push_back(std::move(handler));
    }
  }
  return handlers;
}

void HandlerRegistry::remove(const wyn::IMessageHandler* handler) {
  // Declared before the lock so that a component whose last reference goes
  // here is destroyed after the lock is released: its destructor may call
  // back into the dispatchers.
  std::vector<HandlerPtr> released;
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  for (auto it = handlersByName_.begin(); it != handlersByName_.end();) {
    if (it->second.get() == handler) {
      names.push_back(it->first);
      released.push_back(std::move(it->second));
      it = handlersByName_.erase(it);
    } else {
      ++it;
    }
  }
  const auto isRemovedName = [&names](const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (auto it = commandOwners_.begin(); it != commandOwners_.end();) {
    it = isRemovedName(it->second) ? commandOwners_.erase(it) : std::next(it);
  }
  for (auto& entry : eventListeners_) {
    auto& listeners = entry.second;
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(), isRemovedName), listeners.end());
  }
}

}  // namespace LCD::Host
