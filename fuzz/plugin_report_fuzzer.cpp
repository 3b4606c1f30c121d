#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/oracle.h"
#include "fuzz/pluginhost.h"
#include "layercutout/messageids.h"
#include "proto/layercutout.h"

// Arbitrary bytes delivered as both kinds of device report, through the
// plug-in's own handleMessage. Each report must end in exactly one of two
// ways: one event of the stated size sent on, or one refusal logged (the
// missing-data text, the error-code text or a positioned decoder error). A
// sent event is noted in the plug-in's log, which then holds one line.
namespace {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCutout;

constexpr char kEventSent[] = "(event sent)";

bool isRefusal(const std::string& text) {
  return text == "msg data is null." || text.rfind("\"auto report data error. error code : ", 0) == 0 ||
         fuzz::is_positioned_error(text);
}

// Reads what an event points to, up to its last byte, so that AddressSanitizer
// checks it.
void readCutoutEvent(const wyn::IMessage& event) {
  fuzz::require(event.getDataSize() == static_cast<int>(sizeof(std::vector<s_LayerCutout>)));
  volatile std::int64_t sum = 0;
  for (const auto& layer : *static_cast<const std::vector<s_LayerCutout>*>(event.getData()))
    sum = sum + layer.layerId + layer.cutout.hue.edgeSmooth;
  fuzz::pluginLog.push_back(kEventSent);
}

void readCursorEvent(const wyn::IMessage& event) {
  fuzz::require(event.getDataSize() == static_cast<int>(sizeof(LCD::ProtoModel::Layer::s_LayerCursorColorResult)));
  [[maybe_unused]] volatile auto last = static_cast<const unsigned char*>(event.getData())[event.getDataSize() - 1];
  fuzz::pluginLog.push_back(kEventSent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LCD::Host::Runtime& runtime = fuzz::pluginRuntime();
  [[maybe_unused]] static const auto subscriptions = {
      runtime.subscribe(Id::kLayerCutoutChanged, readCutoutEvent),
      runtime.subscribe(Id::kLayerCutoutCursorChanged, readCursorEvent)};
  for (std::uint32_t id : {Id::kLayerCutoutReport, Id::kLayerCutoutCursorReport}) {
    runtime.sendEvent(id, data, static_cast<int>(size));
    const std::vector<std::string> log = fuzz::takePluginLog();
    fuzz::require(log.size() == 1 && (log[0] == kEventSent || isRefusal(log[0])));
  }
  return 0;
}
