#include <string>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
void readColor(const ProtoModel::Layer::s_ReadLayerCursorColor& request, const SessionOptions& options) {
  HostSession session(options);
  const auto result = session.readColour(request);
  printDocument(result);
  if (result.layerId == -1) {
    throw CliError(ExitCode::deviceFailure, "the device could not read the colour under the cursor of layer " +
                                                std::to_string(request.layerId) + " (layerId -1)");
  }
}

}  // namespace LCD::Tools
