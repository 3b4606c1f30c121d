#pragma once

#include <cstdint>

namespace codec_bench {

// Deterministic pseudo-random integers (a 32-bit linear congruential
// generator), so every run and every machine measures the same documents.
class value_source {
 public:
  explicit value_source(std::uint32_t seed) : state_(seed) {}

  // A value in [low, high].
  int between(int low, int high) {
    state_ = state_ * 1664525u + 1013904223u;
    const std::uint32_t span = static_cast<std::uint32_t>(high - low) + 1u;
    return low + static_cast<int>((state_ >> 8) % span);
  }

 private:
  std::uint32_t state_;
};

}  // namespace codec_bench
