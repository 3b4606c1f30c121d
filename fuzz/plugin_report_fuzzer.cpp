#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/pluginhost.h"
#include "fuzz/positioned_error.h"
#include "layercutout/messageids.h"
#include "proto/layercutout.h"

// Arbitrary bytes delivered as both kinds of device report, through the
// plug-in's own handleMessage. Each report must end in exactly one of two
// ways: one event of the stated size sent on, or one refusal logged (the
// missing-data text, the error-code text or a positioned decoder error).
namespace {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_LayerCutout;

int eventsSent = 0;

bool isRefusal(const std::string& text) {
  return text == "msg data is null." || text.rfind("\"auto report data error. error code : ", 0) == 0 ||
         fuzz::is_positioned_error(text);
}

// Reads every byte an event points to, so that AddressSanitizer checks it.
void readCutoutEvent(const wyn::IMessage& event) {
  if (event.getDataSize() != static_cast<int>(sizeof(std::vector<s_LayerCutout>))) std::abort();
  volatile std::int64_t sum = 0;
  for (const auto& layer : *static_cast<const std::vector<s_LayerCutout>*>(event.getData())) {
    sum = sum + layer.layerId + layer.cutout.hue.edgeSmooth;
  }
  ++eventsSent;
}

void readCursorEvent(const wyn::IMessage& event) {
  if (event.getDataSize() != static_cast<int>(sizeof(s_LayerCursorColorResult))) std::abort();
  s_LayerCursorColorResult cursor;
  std::memcpy(&cursor, event.getData(), sizeof cursor);
  ++eventsSent;
}

LCD::Host::Runtime& subscribedRuntime() {
  static LCD::Host::Runtime& runtime = []() -> LCD::Host::Runtime& {
    LCD::Host::Runtime& loaded = fuzz::pluginRuntime();
    loaded.subscribe(Id::kLayerCutoutChanged, readCutoutEvent);
    loaded.subscribe(Id::kLayerCutoutCursorChanged, readCursorEvent);
    return loaded;
  }();
  return runtime;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LCD::Host::Runtime& runtime = subscribedRuntime();
  for (std::uint32_t id : {Id::kLayerCutoutReport, Id::kLayerCutoutCursorReport}) {
    eventsSent = 0;
    runtime.sendEvent(id, data, static_cast<int>(size));
    const std::vector<std::string> log = fuzz::takePluginLog();
    if (eventsSent + log.size() != 1) std::abort();
    if (!log.empty() && !isRefusal(log.front())) std::abort();
  }
  return 0;
}
