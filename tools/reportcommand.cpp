#include <cstdint>
#include <memory>
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

struct ReportArguments {
  std::string kind;
  std::string file;
};

constexpr const char* kReportHelp = R"(
FILE holds one device report as JSON, its "body" the reported state as a JSON
string. Example (cursor):
  {"source":"device","seq":7,"sn":"SN1",
   "tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},
   "body":"{\"layerId\":2,\"cursor\":{\"enable\":1,\"pos\":{\"x\":900,\"y\":300}}}"}
Delivers it as event 0x81110 (cutout) or 0x81111 (cursor) and prints the event
the plug-in sends on: {"event":"0xfc08040e","data":[...]} with the layer
cutouts, or {"event":"0xfc08040f","data":{...}} with the cursor colour. No
event (an error report, an unreadable body) is exit 1.)";

// The event the plug-in sent on, or exit 1 when it sent none.
template <typename T>
void printEvent(std::uint32_t eventId, const std::optional<T>& payload) {
  if (!payload) {
    throw CliError(ExitCode::deviceFailure, "the plug-in sent no event " + hexId(eventId) + " for the report");
  }
  printDocument(EventDocument<T>{hexId(eventId), *payload});
}

void report(const ReportArguments& arguments, const SessionOptions& options) {
  const std::string text = readInput(arguments.file);
  checkReport(text, inputName(arguments.file));
  HostSession session(options);
  if (arguments.kind == "cutout") {
    printEvent(LayerCutout::MessageId::kLayerCutoutChanged, session.reportCutout(text));
  } else {
    printEvent(LayerCutout::MessageId::kLayerCutoutCursorChanged, session.reportCursor(text));
  }
}

}  // namespace

void addReportCommand(CLI::App& app, Job& job) {
  CLI::App* command = app.add_subcommand("report", "Deliver a device report to the plug-in (event 0x81110 or 0x81111)");
  auto arguments = std::make_shared<ReportArguments>();
  command->add_option("KIND", arguments->kind, "cutout (0x81110) or cursor (0x81111)")
      ->required()
      ->check(CLI::IsMember({"cutout", "cursor"}));
  command->add_option("FILE", arguments->file, "The report as JSON, - for standard input")->required();
  command->footer(kReportHelp);
  command->callback(
      [&job, arguments] { job = [arguments](const SessionOptions& options) { report(*arguments, options); }; });
}

}  // namespace LCD::Tools
