#include <string>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/inputdocuments.h"
#include "tools/inputfile.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {

void setCutout(const std::string& file, const SessionOptions& options) {
  const auto layers = parseLayerCutouts(readInput(file), inputName(file));
  HostSession session(options);
  const unsigned char answer = session.setCutout(layers);
  printDocument(SetCutoutDocument{static_cast<std::int32_t>(layers.size()), answer});
  if (answer != 1) {
    throw CliError(ExitCode::deviceFailure,
                   "the device refused the layer cutout settings (answer " + std::to_string(answer) + ")");
  }
}

}  // namespace LCD::Tools
