#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "fuzz/pluginhost.h"
#include "fuzz/positioned_error.h"
#include "layercutout/assessexchange.h"
#include "layercutout/messageids.h"
#include "proto/constants.h"
#include "proto/layercutout.h"

// Arbitrary bytes as the device's reply body to each of the three commands,
// sent through the loaded plug-in, the communicator and a simulated device on
// loopback. Whatever the body, each handler must answer in its stated shape and
// log nothing but its own decode-failure text around a positioned decoder error.
namespace {

namespace Id = LayerCutout::MessageId;
namespace Constants = LCD::Proto::Constants;
namespace Sim = LCD::DeviceSim;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_LayerCutout;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

constexpr int kEarlierCode = 77;

Sim::DeviceSimulator& device() {
  // Never stopped: the fuzzer may exit from any point of a run.
  static Sim::DeviceSimulator* simulator = [] {
    auto* started = new Sim::DeviceSimulator;
    LCD::Communicator::configureDevice({started->url(), "admin", "admin", 5000});
    return started;
  }();
  return *simulator;
}

void answerEveryCommandWith(const std::string& body) {
  device().clearFaults();
  for (const char* path :
       {Constants::PUTLAYERSCUTOUT, Constants::PUTLAYERSCUTOUTCURSOR, Constants::TAVROPROTOPUTASSESSLAYERCUTOUT}) {
    device().injectFault(path, Sim::Fault{Sim::FaultKind::FixedBody, true, {}, 0, body});
  }
}

// Nothing logged, or one text: the handler's prefix and a positioned error.
bool loggedAtMostAFailedDecode(const char* prefix) {
  const std::vector<std::string> log = fuzz::takePluginLog();
  if (log.empty()) return true;
  const std::string prefixText = prefix;
  return log.size() == 1 && log[0].rfind(prefixText, 0) == 0 &&
         fuzz::is_positioned_error(log[0].substr(prefixText.size()));
}

void setCutout(LCD::Host::Runtime& runtime) {
  const std::vector<s_LayerCutout> layers(2);
  const auto result = runtime.sendCommand(Id::kSetLayerCutout, &layers, sizeof layers);
  if (!result.reply.has_value() || result.reply->size() != 1 || (*result.reply)[0] > 1) std::abort();
  if (!loggedAtMostAFailedDecode("put layer cutout result json failed :  ")) std::abort();
}

void readCursor(LCD::Host::Runtime& runtime) {
  const s_ReadLayerCursorColor request{};
  const auto result = runtime.sendCommand(Id::kSetLayerCutoutCursor, &request, sizeof request);
  if (!result.reply.has_value() || result.reply->size() != sizeof(s_LayerCursorColorResult)) std::abort();
  if (!loggedAtMostAFailedDecode("put layer cutout cursor result json failed : ")) std::abort();
}

// The record is either left as it was or holds a successful, non-empty result.
void assess(LCD::Host::Runtime& runtime) {
  LayerCutout::AssessExchange record{};
  record.layers.resize(1);
  record.result.code = kEarlierCode;
  LayerCutout::AssessExchange* pointer = &record;
  const auto result = runtime.sendCommand(Id::kGetLayerCutoutAssess, &pointer, sizeof pointer);
  if (result.reply.has_value()) std::abort();
  const bool untouched = record.result.code == kEarlierCode && record.result.data.empty();
  const bool written = record.result.code == 0 && !record.result.data.empty();
  if (!untouched && !written) std::abort();
  if (!loggedAtMostAFailedDecode("Layer cutout assess decode json failed :  ")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LCD::Host::Runtime& runtime = fuzz::pluginRuntime();
  answerEveryCommandWith(std::string(reinterpret_cast<const char*>(data), size));
  setCutout(runtime);
  readCursor(runtime);
  assess(runtime);
  device().clearRequests();
  return 0;
}
