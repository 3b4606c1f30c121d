// Many threads through one loaded plug-in at once: every command gets its own
// answer, every report its own event, and the device keeps each layer's last
// setting. Runs under ThreadSanitizer in the test command.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include "layercutout/messageids.h"
#include "tests/stress/livesession.h"

namespace {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;

// Each round a set, a cursor read and an assessment.
constexpr int kCommandThreads = 6, kRounds = 40, kReports = 200;

// Thread t owns layer t + 1; each set gives it a threshold no other set uses.
void sendCommands(LCD::Host::Runtime& runtime, int thread, std::atomic<int>& wrong) {
  const int layer = thread + 1;
  for (int i = 0; i < kRounds; ++i) {
    LayerSettings layers = layersNumbered({layer});
    layers[0].cutout.brightness.threshold = thread * kRounds + i;
    if (setCutout(runtime, layers) != "AnswerOne") ++wrong;
    if (readCursor(runtime, layer, (thread * 240 + i * 37) % 1920, i) != "DeviceReading") ++wrong;
    if (assess(runtime, std::vector<int>(1 + i % 2, layer)) != "RecordWritten") ++wrong;
  }
}

// Report n names layer n: a cutout report for even n, a cursor report for odd n.
void sendReports(LCD::Host::Runtime& runtime, int first) {
  for (int n = first; n < kReports; n += 2) {
    const bool cutout = n % 2 == 0;
    const std::string layer = R"({\"layerId\":)" + std::to_string(n) + "}";
    const std::string report = R"({"body":")" + (cutout ? "[" + layer + "]" : layer) + R"("})";
    runtime.sendEvent(cutout ? Id::kLayerCutoutReport : Id::kLayerCutoutCursorReport, report.c_str(),
                      static_cast<int>(report.size() + 1));
  }
}

TEST(Concurrency, EveryCommandAndReportGetsItsOwnOutcome) {
  LiveSession session;
  LCD::Host::Runtime& runtime = session.runtime();
  std::mutex mutex;
  std::vector<int> reported;
  runtime.subscribe(Id::kLayerCutoutChanged, [&](const wyn::IMessage& event) {
    const std::lock_guard<std::mutex> lock(mutex);
    for (const auto& layer : *static_cast<const LayerSettings*>(event.getData())) reported.push_back(layer.layerId);
  });
  runtime.subscribe(Id::kLayerCutoutCursorChanged, [&](const wyn::IMessage& event) {
    const std::lock_guard<std::mutex> lock(mutex);
    reported.push_back(static_cast<const s_LayerCursorColorResult*>(event.getData())->layerId);
  });

  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kCommandThreads; ++t) threads.emplace_back(sendCommands, std::ref(runtime), t, std::ref(wrong));
  for (int first = 0; first < 2; ++first) threads.emplace_back(sendReports, std::ref(runtime), first);
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(wrong.load(), 0);
  for (int t = 0; t < kCommandThreads; ++t) {
    const auto kept = session.device().layerCutout(t + 1);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ((*kept)["brightness"]["threshold"], t * kRounds + kRounds - 1);
  }
  std::sort(reported.begin(), reported.end());
  std::vector<int> all(kReports);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(reported, all);
  EXPECT_TRUE(session.takeLog().empty());
}

}  // namespace
