#include <cstdint>
#include <optional>
#include <string>

#include "layercutout/messageids.h"
#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/inputdocuments.h"
#include "tools/inputfile.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
namespace {

// The event the plug-in sent on, or exit 1 when it sent none.
template <typename T>
void printEvent(std::uint32_t eventId, const std::optional<T>& payload) {
  if (!payload) {
    throw CliError(ExitCode::deviceFailure, "the plug-in sent no event " + hexId(eventId) + " for the report");
  }
  printDocument(EventDocument<T>{hexId(eventId), *payload});
}

}  // namespace

void report(const std::string& kind, const std::string& file, const SessionOptions& options) {
  const std::string text = readInput(file);
  checkReport(text, inputName(file));
  HostSession session(options);
  if (kind == "cutout") {
    printEvent(LayerCutout::MessageId::kLayerCutoutChanged, session.reportCutout(text));
  } else {
    printEvent(LayerCutout::MessageId::kLayerCutoutCursorChanged, session.reportCursor(text));
  }
}

}  // namespace LCD::Tools
