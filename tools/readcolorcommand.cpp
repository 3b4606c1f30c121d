#include <memory>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
namespace {

using ProtoModel::Layer::s_ReadLayerCursorColor;

constexpr const char* kReadColorHelp = R"(
Turns the layer's cutout cursor on at (X, Y) and prints the device's reading:
  {"layerId":L,"cursor":{"enable":E,"pos":{"x":X,"y":Y},"color":{"R":R,"G":G,"B":B}}}
A layerId of -1 means the device could not read the colour (exit 1).)";

void readColor(const s_ReadLayerCursorColor& request, const SessionOptions& options) {
  HostSession session(options);
  const auto result = session.readColour(request);
  printDocument(result);
  if (result.layerId == -1) {
    throw CliError(ExitCode::deviceFailure, "the device could not read the colour under the cursor of layer " +
                                                std::to_string(request.layerId) + " (layerId -1)");
  }
}

}  // namespace

void addReadColorCommand(CLI::App& app, Job& job) {
  CLI::App* command =
      app.add_subcommand("read-color", "Read the colour under a layer's cutout cursor (command 0xfc050415)");
  auto request = std::make_shared<s_ReadLayerCursorColor>();
  request->cursor.enable = 1;
  command->add_option("--layer", request->layerId, "Layer id")->required();
  command->add_option("--x", request->cursor.pos.x, "Cursor column")->required();
  command->add_option("--y", request->cursor.pos.y, "Cursor row")->required();
  command->footer(kReadColorHelp);
  command->callback(
      [&job, request] { job = [request](const SessionOptions& options) { readColor(*request, options); }; });
}

}  // namespace LCD::Tools
