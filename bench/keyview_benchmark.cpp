// The simulator's keyed layer pictures: rendering and PNG encoding of one
// layer, and the page's update road from a device change to the new image.
#include "devicesim/devicesimulator.h"
#include "devicesim/layerimage.h"
#include "devicesim/pngimage.h"
#include "proto/constants.h"
#include "proto/response.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using LCD::ProtoModel::Layer::s_LayerCutout;
using LCD::ProtoModel::Layer::s_SetCutout;

s_SetCutout keyOfType(int type) {
  s_SetCutout cutout;
  cutout.enable = 1;
  cutout.type = type;
  cutout.cursor.enable = 1;
  cutout.hue.color = {0, 255, 0};
  return cutout;
}

// Arg 0: brightness key, 1: hue key.
void BM_RenderLayer(benchmark::State& state) {
  const s_SetCutout cutout = keyOfType(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(LCD::DeviceSim::renderLayer(cutout, {900, 300}));
  }
}
BENCHMARK(BM_RenderLayer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RenderLayerAsPng(benchmark::State& state) {
  const s_SetCutout cutout = keyOfType(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(LCD::DeviceSim::encodePng(LCD::DeviceSim::renderLayer(cutout, {900, 300})));
  }
}
BENCHMARK(BM_RenderLayerAsPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The page's change feed as the browser reads it: the latest change count.
class FeedReader {
 public:
  explicit FeedReader(const std::string& url)
      : client_(url), reader_([this] {
          client_.Get("/view/changes", [this](const char* data, std::size_t length) {
            const std::string text(data, length);
            if (const auto at = text.rfind("data: "); at != std::string::npos) {
              std::lock_guard<std::mutex> lock(mutex_);
              version_ = std::stoull(text.substr(at + 6));
              changed_.notify_all();
            }
            return true;
          });
        }) {}
  ~FeedReader() { reader_.join(); }

  void awaitVersionAbove(unsigned long long seen) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this, seen] { return version_ > seen; });
  }

 private:
  httplib::Client client_;
  std::mutex mutex_;
  std::condition_variable changed_;
  unsigned long long version_ = 0;
  std::thread reader_;
};

// One change of layer 1's cutout through the device API until the page has
// the news, the layers' state and the new image, as page.js fetches them.
void BM_PageUpdate(benchmark::State& state) {
  LCD::DeviceSim::DeviceSimulator simulator;
  httplib::Client device(simulator.url());
  const auto login =
      device.Post(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json");
  const httplib::Headers token{
      {"Authorization", nlohmann::json::parse(login->body)["data"]["token"].get<std::string>()}};
  httplib::Client page(simulator.url());
  {
    FeedReader feed(simulator.url());
    std::vector<s_LayerCutout> layers(1);
    layers[0].layerId = 1;
    layers[0].cutout.enable = 1;
    unsigned long long version = 0;
    for (auto _ : state) {
      layers[0].cutout.brightness.threshold = static_cast<int>(version % 200);
      std::string body;
      LCD::ProtoModel::encode(body, layers);
      device.Put(LCD::Proto::Constants::PUTLAYERSCUTOUT, token, body, "application/json");
      feed.awaitVersionAbove(version++);
      benchmark::DoNotOptimize(page.Get("/view/layers"));
      benchmark::DoNotOptimize(page.Get("/view/layers/1.png"));
    }
    simulator.stop();  // ends the feed
  }
}
BENCHMARK(BM_PageUpdate)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
