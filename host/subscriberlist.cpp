#include "host/subscriberlist.h"

#include <utility>

namespace LCD::Host {

SubscriptionId SubscriberList::add(std::uint32_t eventId, EventCallback callback) {
  auto shared = std::make_shared<const EventCallback>(std::move(callback));
  const std::lock_guard<std::mutex> lock(mutex_);
  const SubscriptionId subscription = next_++;
  entries_.emplace(subscription, Entry{eventId, std::move(shared)});
  return subscription;
}

bool SubscriberList::remove(SubscriptionId subscription) {
  const std::lock_guard<std::mutex> lock(mutex_);
  return entries_.erase(subscription) > 0;
}

std::vector<std::shared_ptr<const EventCallback>> SubscriberList::callbacksFor(std::uint32_t eventId) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::shared_ptr<const EventCallback>> callbacks;
  for (const auto& entry : entries_) {
    if (entry.second.eventId == eventId) {
      callbacks.push_back(entry.second.callback);
    }
  }
  return callbacks;
}

}  // namespace LCD::Host
