#include <string>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/inputdocuments.h"
#include "tools/inputfile.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {

void assess(const std::string& file, const SessionOptions& options) {
  const auto layers = parseLayerCutouts(readInput(file), inputName(file));
  HostSession session(options);
  const auto result = session.assess(layers);
  if (!result) {
    throw CliError(ExitCode::deviceFailure, "the device gave no assessment: the exchange record is untouched");
  }
  printDocument(*result);
}

}  // namespace LCD::Tools
