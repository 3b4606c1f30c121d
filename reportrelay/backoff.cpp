#include "reportrelay/backoff.h"

#include <algorithm>

namespace LCD::Relay {
namespace {

constexpr unsigned kLongestDoubling = 20;

}  // namespace

BackOff::BackOff(std::chrono::milliseconds first) : first_(first), random_(std::random_device{}()) {}

std::chrono::milliseconds BackOff::after(unsigned failures, std::optional<long> deviceRetryMs,
                                         std::chrono::milliseconds longestWait) {
  const std::chrono::milliseconds base = deviceRetryMs ? std::chrono::milliseconds(*deviceRetryMs) : first_;
  const std::chrono::milliseconds longest = std::max(longestWait, base);
  const std::chrono::milliseconds doubled =
      std::min<std::chrono::milliseconds>(base * (1LL << std::min(failures, kLongestDoubling)), longest);
  std::uniform_int_distribution<long long> spread(0, doubled.count() / 2);
  return doubled + std::chrono::milliseconds(spread(random_));
}

}  // namespace LCD::Relay
