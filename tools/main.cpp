#include <exception>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/clierror.h"
#include "tools/commands.h"

namespace {

using LCD::Tools::ExitCode;
using LCD::Tools::SessionOptions;

// The work a parsed command line asks for.
using Job = std::function<void(const SessionOptions&)>;

constexpr const char* kFooter = R"(
Without --device, lcd-host starts its embedded device simulator on a free
loopback port and points the communicator at it. With --device, the login
defaults to LCD_DEVICE_USER / LCD_DEVICE_PASSWORD (else admin / admin) and
the time-out to LCD_DEVICE_TIMEOUT_MS (else 5000).

Results go to standard output as JSON, errors to standard error. Exit status:
0 success, 1 the device said no or did not answer, 2 bad usage or bad input,
3 lcd-host itself failed.
Run 'lcd-host COMMAND --help' for a command's input and output.)";

void addSessionOptions(CLI::App& app, SessionOptions& options) {
  CLI::Option* device = app.add_option("--device", options.device.url, "Device URL, e.g. http://192.168.0.10:8080");
  app.add_option("--user", options.device.user, "Device login name")->needs(device);
  app.add_option("--password", options.device.password, "Device password")->needs(device);
  app.add_option("--timeout-ms", options.device.timeoutMs, "Time-out of one device exchange")
      ->check(CLI::PositiveNumber);
  app.add_option("--plugin", options.pluginPath,
                 "Plug-in library (default: ../lib/liblayercutoutmodel.so.1 from lcd-host)");
}

constexpr const char* kSetCutoutHelp = R"(
FILE holds a JSON array of layer cutouts; members left out keep their
defaults. Example:
  [{"layerId":1,"cutout":{"enable":1,"type":0,"brightness":{"threshold":20}}}]
Prints {"layers":N,"answer":A}; A is the plug-in's answer byte, 1 when the
device accepted the settings (exit 0), 0 otherwise (exit 1).)";

constexpr const char* kAssessHelp = R"(
FILE holds a JSON array of layer cutouts, as for set-cutout. Prints the
results the plug-in wrote into the assessment exchange record:
  {"code":0,"message":"","data":[{"layerId":L,"state":S,"interfaces":[{"interfaceId":I},...]},...]}
When the device gives no results the record stays untouched (exit 1).)";

constexpr const char* kReadColorHelp = R"(
Turns the layer's cutout cursor on at (X, Y) and prints the device's reading:
  {"layerId":L,"cursor":{"enable":E,"pos":{"x":X,"y":Y},"color":{"R":R,"G":G,"B":B}}}
A layerId of -1 means the device could not read the colour (exit 1).)";

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

constexpr const char* kDemoHelp = R"(
Sets two layers and writes the key of each as a PNG in the temporary
directory (printing its path), reads the colour at four positions across the
simulator's colour bars, assesses the settings, delivers one report of each kind, and
changes a layer while watching the device's report stream for the plug-in's
event. With the embedded simulator it prints the address of the simulator's
page, which shows the layers keyed while the demo runs. Exit 1 when any step
fails.)";

constexpr const char* kWatchHelp = R"(
Runs a report relay against the device's report stream, as another component
of the host would, and prints each event the plug-in sends on for a report,
one JSON line each, flushed at once, as 'lcd-host report' prints it:
  {"event":"0xfc08040e","data":[...]}   a layer's cutout changed
  {"event":"0xfc08040f","data":{...}}   a cutout cursor moved or switched
Standard error has one line when the stream opens and one for every
disruption: a reconnection, a resume, a resync (the device's whole state, sent
on as one 0xfc08040e event), a duplicate dropped, reports lost. Stops after N
events, S seconds, Ctrl-C or SIGTERM (exit 0); exit 1 when the device cannot be
reached at all. When standard output stalls, the relay stops reading; the
device keeps what it sends meanwhile. Example, with a device simulator on 8080:
  lcd-host --device http://127.0.0.1:8080 watch --count 1 &
  echo '[{"layerId":1,"cutout":{"enable":1}}]' |
    lcd-host --device http://127.0.0.1:8080 set-cutout -)";

// A subcommand whose callback stores `work` as the job; `work` runs once the
// whole command line is parsed, with the session options that may follow it.
CLI::App* addCommand(CLI::App& app, Job& job, const char* name, const char* description, const char* help, Job work) {
  CLI::App* command = app.add_subcommand(name, description);
  command->footer(help);
  command->callback([&job, work = std::move(work)] { job = work; });
  return command;
}

// A command whose one argument is a file of layer cutouts for `run`.
void addLayersCommand(CLI::App& app, Job& job, const char* name, const char* description, const char* help,
                      void (*run)(const std::string& file, const SessionOptions& options)) {
  auto file = std::make_shared<std::string>();
  addCommand(app, job, name, description, help, [file, run](const SessionOptions& options) { run(*file, options); })
      ->add_option("FILE", *file, "JSON array of layer cutouts, - for standard input")
      ->required();
}

void addReadColorCommand(CLI::App& app, Job& job) {
  auto request = std::make_shared<LCD::ProtoModel::Layer::s_ReadLayerCursorColor>();
  request->cursor.enable = 1;
  CLI::App* command = addCommand(
      app, job, "read-color", "Read the colour under a layer's cutout cursor (command 0xfc050415)", kReadColorHelp,
      [request](const SessionOptions& options) { LCD::Tools::readColor(*request, options); });
  command->add_option("--layer", request->layerId, "Layer id")->required();
  command->add_option("--x", request->cursor.pos.x, "Cursor column")->required();
  command->add_option("--y", request->cursor.pos.y, "Cursor row")->required();
}

void addReportCommand(CLI::App& app, Job& job) {
  auto kind = std::make_shared<std::string>();
  auto file = std::make_shared<std::string>();
  CLI::App* command =
      addCommand(app, job, "report", "Deliver a device report to the plug-in (event 0x81110 or 0x81111)", kReportHelp,
                 [kind, file](const SessionOptions& options) { LCD::Tools::report(*kind, *file, options); });
  command->add_option("KIND", *kind, "cutout (0x81110) or cursor (0x81111)")
      ->required()
      ->check(CLI::IsMember({"cutout", "cursor"}));
  command->add_option("FILE", *file, "The report as JSON, - for standard input")->required();
}

void addDemoCommand(CLI::App& app, Job& job) {
  addCommand(app, job, "demo", "Run a short session of all four jobs and narrate it", kDemoHelp, LCD::Tools::demo);
}

void addWatchCommand(CLI::App& app, Job& job) {
  auto arguments = std::make_shared<LCD::Tools::WatchArguments>();
  CLI::App* command =
      addCommand(app, job, "watch", "Print the plug-in's events for the device's live reports", kWatchHelp,
                 [arguments](const SessionOptions& options) { LCD::Tools::watch(*arguments, options); });
  command->add_option("--count", arguments->count, "Stop after N events")
      ->check(CLI::Range(1, std::numeric_limits<int>::max()));
  command->add_option("--seconds", arguments->seconds, "Stop after S seconds")->check(CLI::PositiveNumber);
  command
      ->add_option("--silence", arguments->silence,
                   "Seconds a stream may stay silent before it counts as dead, when the device announces no heartbeat")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
}

int fail(ExitCode code, const char* what) {
  std::cerr << "lcd-host: " << what << '\n';
  return static_cast<int>(code);
}

int parseFailure(const CLI::App& app, const CLI::ParseError& error) {
  if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
    return app.exit(error);  // --help: the help text, status 0
  }
  return fail(ExitCode::badUsage, (std::string(error.what()) + " (see --help)").c_str());
}

std::string commandList(CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands({})) names += (names.empty() ? "" : ", ") + command->get_name();
  return "(commands: " + names + ")";
}

// Words the command line left over: an unknown command, or an argument that
// no option or command takes. Empty when there are none.
std::string leftoverProblem(CLI::App& app) {
  const std::vector<std::string> extras = app.remaining();
  if (app.get_subcommands().empty()) {
    return extras.empty() ? "a command is required " + commandList(app)
                          : "unknown command '" + extras.front() + "' " + commandList(app);
  }
  return extras.empty() ? std::string() : "unexpected argument '" + extras.front() + "' (see --help)";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"lcd-host: loads the layer cutout plug-in into a host runtime and drives it."};
  SessionOptions options;
  Job job;
  addSessionOptions(app, options);
  // Subcommands inherit this: the session options may follow the subcommand.
  app.fallthrough();
  addLayersCommand(app, job, "set-cutout", "Send layer cutout settings (command 0xfc050413)", kSetCutoutHelp,
                   LCD::Tools::setCutout);
  addReadColorCommand(app, job);
  addLayersCommand(app, job, "assess", "Have the device assess layer cutout settings (command 0xfc050414)", kAssessHelp,
                   LCD::Tools::assess);
  addReportCommand(app, job);
  addDemoCommand(app, job);
  addWatchCommand(app, job);
  app.require_subcommand(0, 1);
  app.allow_extras();
  app.footer(kFooter);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return parseFailure(app, error);
  }
  if (const std::string problem = leftoverProblem(app); !problem.empty()) {
    return fail(ExitCode::badUsage, problem.c_str());
  }
  try {
    job(options);
    return static_cast<int>(ExitCode::success);
  } catch (const LCD::Tools::CliError& error) {
    return fail(error.code(), error.what());
  } catch (const std::exception& error) {
    return fail(ExitCode::internalError, (std::string("internal error: ") + error.what()).c_str());
  }
}
