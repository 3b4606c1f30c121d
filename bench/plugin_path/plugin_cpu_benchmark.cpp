// The plug-in's own CPU cost per command: the same commands as a host sends
// them, with the plug-in loaded beside a communicator that answers in process,
// so no HTTP exchange is timed.

#include <benchmark/benchmark.h>

#include "bench/plugin_path/timedloop.h"
#include "bench/plugin_path/workload.h"
#include "host/plugin.h"
#include "host/runtime.h"

namespace plugin_path {
namespace {

struct Session {
  LCD::Host::Runtime runtime;
  LCD::Host::Plugin plugin{LCD_CANNED_PLUGIN_PATH, runtime};
  Commands commands{runtime};
};

Session& session() {
  static Session instance;
  return instance;
}

void BM_PluginCpu_SetCutout16(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.setCutout(); });
}
void BM_PluginCpu_ReadColour(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.readColour(); });
}
void BM_PluginCpu_Assess16(benchmark::State& state) {
  timedLoop(state, [] { return session().commands.assess(); });
}

BENCHMARK(BM_PluginCpu_SetCutout16);
BENCHMARK(BM_PluginCpu_ReadColour);
BENCHMARK(BM_PluginCpu_Assess16);

}  // namespace
}  // namespace plugin_path

BENCHMARK_MAIN();
