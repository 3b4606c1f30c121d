// Commands per second and latency of each command through the plug-in as a
// host drives it (dispatch, encode, communicator, simulator, decode, answer),
// beside a raw libcurl PUT of the same bytes to the same simulator endpoint.

#include <benchmark/benchmark.h>

#include <memory>
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

BENCHMARK(BM_Plugin_SetCutout16)->UseRealTime();
BENCHMARK(BM_Raw_SetCutout16)->UseRealTime();
BENCHMARK(BM_Plugin_ReadColour)->UseRealTime();
BENCHMARK(BM_Raw_ReadColour)->UseRealTime();
BENCHMARK(BM_Plugin_Assess16)->UseRealTime();
BENCHMARK(BM_Raw_Assess16)->UseRealTime();

}  // namespace
}  // namespace plugin_path

BENCHMARK_MAIN();
