// The live report road: the device simulator publishes a cursor report, the
// relay carries it over loopback into the host runtime, the plug-in decodes it
// and sends event 0xfc08040f, and a subscriber of the host receives it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "proto/reportstream.h"
#include "reportrelay/reportrelay.h"

namespace {

using Clock = std::chrono::steady_clock;

// The simulator, a host with the plug-in loaded and a relay between them; the
// subscriber keeps what arrived and when.
struct Road {
  Road() {
    LCD::Communicator::DeviceSettings settings;
    settings.url = device.url();
    LCD::Communicator::configureDevice(settings);
    plugin = std::make_unique<LCD::Host::Plugin>(LCD_PLUGIN_PATH, runtime);
    runtime.subscribe(LayerCutout::MessageId::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      const auto& reading = *static_cast<const LCD::ProtoModel::Layer::s_LayerCursorColorResult*>(event.getData());
      const Clock::time_point now = Clock::now();
      std::lock_guard<std::mutex> lock(mutex);
      gaps += reading.cursor.pos.x == lastX + 1 ? 0 : 1;
      lastX = reading.cursor.pos.x;
      arrived = now;
      changed.notify_all();
    });
    relay = std::make_unique<LCD::Relay::ReportRelay>(runtime);
    while (device.reportSubscribers() == 0) std::this_thread::yield();
  }
  ~Road() {
    relay.reset();
    plugin.reset();
  }

  // Publishes the report whose cursor x is `x`, the next after the last one.
  void publish(int x) {
    device.publishReport(
        LCD::Proto::ReportStream::kCursorReportCode,
        {{"layerId", 1},
         {"cursor", {{"enable", 1}, {"pos", {{"x", x}, {"y", 0}}}, {"color", {{"R", 1}, {"G", 2}, {"B", 3}}}}}});
  }

  int lastArrived() {
    std::lock_guard<std::mutex> lock(mutex);
    return lastX;
  }

  // Waits until the report with cursor x `x` has arrived.
  void awaitX(int x) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this, x] { return lastX >= x; });
  }

  LCD::DeviceSim::DeviceSimulator device;
  LCD::Host::Runtime runtime;
  std::unique_ptr<LCD::Host::Plugin> plugin;
  std::unique_ptr<LCD::Relay::ReportRelay> relay;
  std::mutex mutex;
  std::condition_variable changed;
  int lastX = 0;
  int gaps = 0;
  Clock::time_point arrived;
};

Road& road() {
  static Road instance;
  return instance;
}

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(values.size())))];
}

// One report at a time: from the call that publishes it to the subscriber's
// receipt of the plug-in's event.
void BM_PublishToSubscriber(benchmark::State& state) {
  Road& r = road();
  std::vector<double> latencies;
  for (auto _ : state) {
    const int x = r.lastArrived() + 1;
    const Clock::time_point published = Clock::now();
    r.publish(x);
    r.awaitX(x);
    const std::chrono::duration<double> took = r.arrived - published;
    state.SetIterationTime(took.count());
    latencies.push_back(took.count() * 1e6);
  }
  state.counters["p50_us"] = percentile(latencies, 0.50);
  state.counters["p99_us"] = percentile(latencies, 0.99);
  state.counters["gaps"] = r.gaps;
}
BENCHMARK(BM_PublishToSubscriber)->Iterations(5000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// As fast as the road carries them: at most `window` reports on their way at
// once, so that the simulator's queue for the relay (256) never overflows.
void BM_SustainedReports(benchmark::State& state) {
  Road& r = road();
  const int window = static_cast<int>(state.range(0));
  const int reports = static_cast<int>(state.range(1));
  const std::uint64_t missedBefore = r.relay->reportsLost();
  for (auto _ : state) {
    const int first = r.lastArrived() + 1;
    for (int x = first; x < first + reports; ++x) {
      if (x - window >= first) r.awaitX(x - window);
      r.publish(x);
    }
    r.awaitX(first + reports - 1);
  }
  state.SetItemsProcessed(state.iterations() * reports);
  state.counters["gaps"] = r.gaps;
  state.counters["seq_missed"] = static_cast<double>(r.relay->reportsLost() - missedBefore);
}
BENCHMARK(BM_SustainedReports)->Args({128, 50000})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
