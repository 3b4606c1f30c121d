#include <memory>
#include <string>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/inputdocuments.h"
#include "tools/inputfile.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
namespace {

constexpr const char* kSetCutoutHelp = R"(
FILE holds a JSON array of layer cutouts; members left out keep their
defaults. Example:
  [{"layerId":1,"cutout":{"enable":1,"type":0,"brightness":{"threshold":20}}}]
Prints {"layers":N,"answer":A}; A is the plug-in's answer byte, 1 when the
device accepted the settings (exit 0), 0 otherwise (exit 1).)";

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

}  // namespace

void addSetCutoutCommand(CLI::App& app, Job& job) {
  CLI::App* command = app.add_subcommand("set-cutout", "Send layer cutout settings (command 0xfc050413)");
  auto file = std::make_shared<std::string>();
  command->add_option("FILE", *file, "JSON array of layer cutouts, - for standard input")->required();
  command->footer(kSetCutoutHelp);
  command->callback([&job, file] { job = [file](const SessionOptions& options) { setCutout(*file, options); }; });
}

}  // namespace LCD::Tools
