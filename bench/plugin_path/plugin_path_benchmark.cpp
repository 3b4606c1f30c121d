// Commands per second and latency of each command through the plug-in as a
// host drives it (dispatch, encode, communicator, simulator, decode, answer),
// beside a raw libcurl PUT of the same bytes to the same simulator endpoint.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/plugin_path/rawput.h"
#include "bench/plugin_path/timedloop.h"
#include "bench/plugin_path/workload.h"
#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "layercutout/httplogin.h"
#include "proto/constants.h"
#include "proto/response.h"

namespace plugin_path {
namespace {

namespace Constants = LCD::Proto::Constants;

struct Session {
  Session() {
    LCD::Communicator::DeviceSettings settings;
    settings.url = device.url();
    LCD::Communicator::configureDevice(settings);
    plugin = std::make_unique<LCD::Host::Plugin>(LCD_PLUGIN_PATH, runtime);
  }
  ~Session() { plugin.reset(); }

  LCD::DeviceSim::DeviceSimulator device;
  LCD::Host::Runtime runtime;
  std::unique_ptr<LCD::Host::Plugin> plugin;
  Commands commands{runtime};
};

Session& session() {
  static Session instance;
  return instance;
}

RawPut rawPut(const char* path, const std::string& body) {
  return RawPut(session().device.url() + path, HttpLogin::getInstance()->getToken(), body);
}

template <typename T>
std::string encoded(const T& value) {
  std::string body;
  LCD::ProtoModel::encode(body, value);
  return body;
}

void BM_Plugin_SetCutout16(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.setCutout(); });
}
void BM_Raw_SetCutout16(benchmark::State& state) {
  RawPut put = rawPut(Constants::PUTLAYERSCUTOUT, encoded(sixteenLayers()));
  timedLoop(state, [&put] { return put.send(); });
}
void BM_Plugin_ReadColour(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.readColour(); });
}
void BM_Raw_ReadColour(benchmark::State& state) {
  RawPut put = rawPut(Constants::PUTLAYERSCUTOUTCURSOR, encoded(cursorRequest()));
  timedLoop(state, [&put] { return put.send(); });
}
void BM_Plugin_Assess16(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.assess(); });
}
void BM_Raw_Assess16(benchmark::State& state) {
  RawPut put = rawPut(Constants::TAVROPROTOPUTASSESSLAYERCUTOUT, encoded(sixteenLayers()));
  timedLoop(state, [&put] { return put.send(); });
}

long residentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

long heapInUseKb() { return static_cast<long>(mallinfo2().uordblks / 1024); }

// 20,000 warm-up commands, then 100,000 more, the three kinds in turn from one
// thread (so that glibc's per-thread arenas stay out of the figures): resident
// memory and heap in use after each, with the simulator's request log empty.
void BM_Plugin_MemoryOver100kCommands(benchmark::State& state) {
  Commands& commands = session().commands;
  const auto send = [&commands](int count) {
    for (int i = 0; i < count; ++i) {
      const bool ok = i % 3 == 0 ? commands.setCutout() : i % 3 == 1 ? commands.readColour() : commands.assess();
      if (!ok) throw std::runtime_error("a command failed");
      if (i % 100 == 0) session().device.clearRequests();
    }
    session().device.clearRequests();
  };
  for (auto _ : state) {
    send(20000);
    state.counters["rss_before_kB"] = static_cast<double>(residentKb());
    state.counters["heap_before_kB"] = static_cast<double>(heapInUseKb());
    send(100000);
    state.counters["rss_after_kB"] = static_cast<double>(residentKb());
    state.counters["heap_after_kB"] = static_cast<double>(heapInUseKb());
  }
}

BENCHMARK(BM_Plugin_SetCutout16)->UseRealTime();
BENCHMARK(BM_Raw_SetCutout16)->UseRealTime();
BENCHMARK(BM_Plugin_ReadColour)->UseRealTime();
BENCHMARK(BM_Raw_ReadColour)->UseRealTime();
BENCHMARK(BM_Plugin_Assess16)->UseRealTime();
BENCHMARK(BM_Raw_Assess16)->UseRealTime();
BENCHMARK(BM_Plugin_MemoryOver100kCommands)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace plugin_path

BENCHMARK_MAIN();
