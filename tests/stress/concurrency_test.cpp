#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/constants.h"
#include "tests/plugin/pluginsession.h"
#include "tests/stress/commands.h"
#include "tests/stress/reports.h"

namespace {

using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
namespace Id = LayerCutout::MessageId;
namespace Constants = LCD::Proto::Constants;

constexpr int kCommandThreads = 8;
constexpr int kCommandsPerThread = 750;  // 6,000 commands, 2,000 of each kind
constexpr int kReportThreads = 2;
constexpr int kReportsPerThread = 1000;
constexpr int kLayers = 2 * kCommandThreads;  // each command thread owns two layers
constexpr auto kHangLimit = std::chrono::minutes(4);

// Runs each job on its own std::thread and joins them all. Threads still
// running after the limit are taken for a deadlock; they cannot be joined, so
// the process ends with a message.
void runToCompletion(std::vector<std::function<void()>> jobs) {
  std::mutex mutex;
  std::condition_variable allDone;
  std::size_t finished = 0;
  std::vector<std::thread> threads;
  for (auto& job : jobs) {
    threads.emplace_back([&mutex, &allDone, &finished, job = std::move(job)] {
      job();
      std::lock_guard<std::mutex> lock(mutex);
      ++finished;
      allDone.notify_all();
    });
  }
  std::unique_lock<std::mutex> lock(mutex);
  if (!allDone.wait_for(lock, kHangLimit, [&] { return finished == threads.size(); })) {
    std::fprintf(stderr, "deadlock: %zu of %zu threads still running\n", threads.size() - finished, threads.size());
    std::abort();
  }
  lock.unlock();
  for (auto& thread : threads) thread.join();
}

struct Tally {
  std::atomic<int> sets{0};
  std::atomic<int> cursors{0};
  std::atomic<int> assessments{0};
  std::atomic<int> wrong{0};
};

// The layers an assessment asks about: one, two or three of the thread's own,
// in varying order, so that a result meant for another command shows.
std::vector<int> assessedLayers(int first, int i) {
  switch (i % 4) {
    case 0: return {first};
    case 1: return {first + 1, first};
    case 2: return {first, first + 1, first};
    default: return {first + 1};
  }
}

// Each set command gives its layer a threshold no other command uses; the last
// one a thread sends for a layer is what the device must keep.
void sendMixedCommands(LCD::Host::Runtime& runtime, int thread, Tally& tally, std::vector<int>& lastThreshold) {
  const int first = 2 * thread + 1;
  for (int i = 0; i < kCommandsPerThread; ++i) {
    const int layer = first + i % 2;
    bool right = false;
    if (i % 3 == 0) {
      auto layers = Stress::layersNumbered({layer});
      layers[0].cutout.brightness.threshold = thread * kCommandsPerThread + i;
      const auto result = Stress::setCutout(runtime, layers);
      right = result.reply == std::vector<unsigned char>{1};
      lastThreshold[static_cast<std::size_t>(layer)] = layers[0].cutout.brightness.threshold;
      ++tally.sets;
    } else if (i % 3 == 1) {
      const auto request = Stress::cursorAt(layer, (thread * 240 + i * 7) % 1920, i % 1080);
      right = Stress::cursorWords(Stress::readCursor(runtime, request)) == Stress::deviceReading(request);
      ++tally.cursors;
    } else {
      auto record = Stress::exchangeFor(assessedLayers(first, i));
      const auto result = Stress::assess(runtime, record);
      right = !result.reply.has_value() && Stress::holdsItsOwnResults(record);
      ++tally.assessments;
    }
    if (!right) ++tally.wrong;
  }
}

// Report number n names layer n: cutout reports for even numbers, cursor
// reports for odd ones.
void sendReports(LCD::Host::Runtime& runtime, int thread) {
  for (int j = 0; j < kReportsPerThread; ++j) {
    const int n = thread * kReportsPerThread + j;
    const bool cutout = n % 2 == 0;
    const std::string body =
        cutout ? "[{\"layerId\":" + std::to_string(n) + "}]" : "{\"layerId\":" + std::to_string(n) + "}";
    const std::string report = Stress::reportAbout(body);
    runtime.sendEvent(cutout ? Id::kLayerCutoutReport : Id::kLayerCutoutCursorReport, report.c_str(),
                      static_cast<int>(report.size() + 1));
  }
}

std::vector<int> numbersWithParity(int parity) {
  std::vector<int> numbers;
  for (int n = 0; n < kReportThreads * kReportsPerThread; ++n) {
    if (n % 2 == parity) numbers.push_back(n);
  }
  return numbers;
}

std::size_t countOf(const std::vector<LCD::DeviceSim::RecordedRequest>& requests, const std::string& path) {
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&path](const auto& request) {
    return request.method == "PUT" && request.path == path;
  }));
}

// Collects the layer named by every event the model sends on, from any thread.
class EventLayers {
 public:
  void add(int layerId) {
    std::lock_guard<std::mutex> lock(mutex_);
    layers_.push_back(layerId);
  }
  std::vector<int> sorted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int> out = layers_;
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<int> layers_;
};

TEST(Concurrency, EveryCommandAndReportGetsItsOwnOutcomeThroughOnePlugin) {
  PluginSession session;
  LCD::Host::Runtime& runtime = session.runtime();
  EventLayers cutoutEvents;
  EventLayers cursorEvents;
  runtime.subscribe(Id::kLayerCutoutChanged, [&cutoutEvents](const wyn::IMessage& event) {
    const auto& layers = *static_cast<const Stress::LayerSettings*>(event.getData());
    for (const auto& layer : layers) cutoutEvents.add(layer.layerId);
  });
  runtime.subscribe(Id::kLayerCutoutCursorChanged, [&cursorEvents](const wyn::IMessage& event) {
    cursorEvents.add(static_cast<const s_LayerCursorColorResult*>(event.getData())->layerId);
  });

  Tally tally;
  std::vector<int> lastThreshold(kLayers + 1, -1);
  std::vector<std::function<void()>> jobs;
  for (int t = 0; t < kCommandThreads; ++t) {
    jobs.emplace_back([&, t] { sendMixedCommands(runtime, t, tally, lastThreshold); });
  }
  for (int t = 0; t < kReportThreads; ++t) {
    jobs.emplace_back([&runtime, t] { sendReports(runtime, t); });
  }
  runToCompletion(std::move(jobs));

  const int perKind = kCommandThreads * kCommandsPerThread / 3;
  EXPECT_EQ(tally.wrong.load(), 0);
  EXPECT_EQ(tally.sets.load(), perKind);
  EXPECT_EQ(tally.cursors.load(), perKind);
  EXPECT_EQ(tally.assessments.load(), perKind);
  const auto requests = session.takeRequests();
  EXPECT_EQ(countOf(requests, Constants::PUTLAYERSCUTOUT), static_cast<std::size_t>(perKind));
  EXPECT_EQ(countOf(requests, Constants::PUTLAYERSCUTOUTCURSOR), static_cast<std::size_t>(perKind));
  EXPECT_EQ(countOf(requests, Constants::TAVROPROTOPUTASSESSLAYERCUTOUT), static_cast<std::size_t>(perKind));
  for (int layer = 1; layer <= kLayers; ++layer) {
    const auto kept = session.device().layerCutout(layer);
    ASSERT_TRUE(kept.has_value()) << layer;
    EXPECT_EQ((*kept)["brightness"]["threshold"], lastThreshold[static_cast<std::size_t>(layer)]) << layer;
  }
  EXPECT_EQ(cutoutEvents.sorted(), numbersWithParity(0));
  EXPECT_EQ(cursorEvents.sorted(), numbersWithParity(1));
  expectNoLog(session.log());
}

}  // namespace
