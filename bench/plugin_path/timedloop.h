#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/plugin_path/workload.h"

namespace plugin_path {

// Runs one command per iteration, timing each, and reports commands per
// second with the p50 and p99 latency. A failed command stops the benchmark.
template <typename Command>
void timedLoop(benchmark::State& state, Command&& command) {
  Latencies latencies;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = command();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    latencies.add(took.count());
    if (!ok) {
      state.SkipWithError("command failed");
      break;
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  state.counters["p50_us"] = latencies.percentile(0.50);
  state.counters["p99_us"] = latencies.percentile(0.99);
}

}  // namespace plugin_path
