#include <memory>
#include <string>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/inputdocuments.h"
#include "tools/inputfile.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
namespace {

constexpr const char* kAssessHelp = R"(
FILE holds a JSON array of layer cutouts, as for set-cutout. Prints the
results the plug-in wrote into the assessment exchange record:
  {"code":0,"message":"","data":[{"layerId":L,"state":S,"interfaces":[{"interfaceId":I},...]},...]}
When the device gives no results the record stays untouched (exit 1).)";

void assess(const std::string& file, const SessionOptions& options) {
  const auto layers = parseLayerCutouts(readInput(file), inputName(file));
  HostSession session(options);
  const auto result = session.assess(layers);
  if (!result) {
    throw CliError(ExitCode::deviceFailure, "the device gave no assessment: the exchange record is untouched");
  }
  printDocument(*result);
}

}  // namespace

void addAssessCommand(CLI::App& app, Job& job) {
  CLI::App* command = app.add_subcommand("assess", "Have the device assess layer cutout settings (command 0xfc050414)");
  auto file = std::make_shared<std::string>();
  command->add_option("FILE", *file, "JSON array of layer cutouts, - for standard input")->required();
  command->footer(kAssessHelp);
  command->callback([&job, file] { job = [file](const SessionOptions& options) { assess(*file, options); }; });
}

}  // namespace LCD::Tools
