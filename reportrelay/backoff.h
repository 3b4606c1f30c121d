#pragma once

#include <chrono>
#include <optional>
#include <random>

namespace LCD::Relay {

// How long to wait before the next attempt to reach the device: doubling with
// each failure in a row from the device's own reconnection time, if it named
// one, else from `first`, up to a longest wait (or the device's time, if
// longer), and spread by a random half again, so that many subscribers of one
// device do not come back in step.
class BackOff {
 public:
  explicit BackOff(std::chrono::milliseconds first);

  // `failures` in a row, 0 after a stream that delivered reports.
  std::chrono::milliseconds after(unsigned failures, std::optional<long> deviceRetryMs,
                                  std::chrono::milliseconds longest);

 private:
  const std::chrono::milliseconds first_;
  std::mt19937 random_;
};

}  // namespace LCD::Relay
