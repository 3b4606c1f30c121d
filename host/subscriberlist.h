#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "message/imessage.h"

namespace LCD::Host {

// Called with each delivered event; the message is valid during the call only.
using EventCallback = std::function<void(const wyn::IMessage& event)>;
using SubscriptionId = std::uint64_t;

// The host application's event subscriptions.
class SubscriberList {
 public:
  SubscriptionId add(std::uint32_t eventId, EventCallback callback);
  // False when the subscription does not exist (any more).
  bool remove(SubscriptionId subscription);
  // Snapshot in subscription order, so callbacks run without the lock and
  // may subscribe or unsubscribe themselves.
  std::vector<std::shared_ptr<const EventCallback>> callbacksFor(std::uint32_t eventId) const;

 private:
  struct Entry {
    std::uint32_t eventId;
    std::shared_ptr<const EventCallback> callback;
  };

  mutable std::mutex mutex_;
  SubscriptionId next_ = 1;
  std::map<SubscriptionId, Entry> entries_;
};

}  // namespace LCD::Host
