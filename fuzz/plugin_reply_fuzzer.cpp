#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "fuzz/oracle.h"
#include "fuzz/pluginhost.h"
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
using fuzz::require;

constexpr int kEarlierCode = 77;

void answerEveryCommandWith(const std::string& body) {
  static auto* device = new Sim::DeviceSimulator;  // never stopped: the fuzzer may exit from any point of a run
  LCD::Communicator::configureDevice({device->url(), "admin", "admin", 5000});  // the same settings keep the token
  device->clearFaults();
  device->clearRequests();
  for (const char* path :
       {Constants::PUTLAYERSCUTOUT, Constants::PUTLAYERSCUTOUTCURSOR, Constants::TAVROPROTOPUTASSESSLAYERCUTOUT})
    device->injectFault(path, Sim::Fault{Sim::FaultKind::FixedBody, true, {}, 0, body});
}

// Nothing logged, or one text: the handler's prefix and a positioned error.
bool loggedAtMostAFailedDecode(const std::string& prefix) {
  const std::vector<std::string> log = fuzz::takePluginLog();
  return log.empty() ||
         (log.size() == 1 && log[0].rfind(prefix, 0) == 0 && fuzz::is_positioned_error(log[0].substr(prefix.size())));
}

}  // namespace

// The assessment record is either left as it was or holds a successful,
// non-empty result.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace LCD::ProtoModel::Layer;
  LCD::Host::Runtime& runtime = fuzz::pluginRuntime();
  answerEveryCommandWith(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<s_LayerCutout> layers(2);
  const auto set = runtime.sendCommand(Id::kSetLayerCutout, &layers, sizeof layers).reply;
  require(set && set->size() == 1 && set->front() <= 1 &&
          loggedAtMostAFailedDecode("put layer cutout result json failed :  "));
  const s_ReadLayerCursorColor request{};
  const auto cursor = runtime.sendCommand(Id::kSetLayerCutoutCursor, &request, sizeof request).reply;
  require(cursor && cursor->size() == sizeof(s_LayerCursorColorResult) &&
          loggedAtMostAFailedDecode("put layer cutout cursor result json failed : "));
  LayerCutout::AssessExchange record{{}, layers, {kEarlierCode, "", {}}};
  LayerCutout::AssessExchange* pointer = &record;
  require(!runtime.sendCommand(Id::kGetLayerCutoutAssess, &pointer, sizeof pointer).reply);
  const bool untouched = record.result.code == kEarlierCode && record.result.data.empty();
  const bool written = record.result.code == 0 && !record.result.data.empty();
  require((untouched || written) && loggedAtMostAFailedDecode("Layer cutout assess decode json failed :  "));
  return 0;
}
