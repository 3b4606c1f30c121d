#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/clierror.h"
#include "tools/commands.h"

namespace {

using LCD::Tools::ExitCode;

constexpr const char* kFooter = R"(
Without --device, lcd-host starts its embedded device simulator on a free
loopback port and points the communicator at it. With --device, the login
defaults to LCD_DEVICE_USER / LCD_DEVICE_PASSWORD (else admin / admin) and
the time-out to LCD_DEVICE_TIMEOUT_MS (else 5000).

Results go to standard output as JSON, errors to standard error. Exit status:
0 success, 1 the device said no or did not answer, 2 bad usage or bad input,
3 lcd-host itself failed.
Run 'lcd-host COMMAND --help' for a command's input and output.)";

void addSessionOptions(CLI::App& app, LCD::Tools::SessionOptions& options) {
  CLI::Option* device = app.add_option("--device", options.device.url, "Device URL, e.g. http://192.168.0.10:8080");
  app.add_option("--user", options.device.user, "Device login name")->needs(device);
  app.add_option("--password", options.device.password, "Device password")->needs(device);
  app.add_option("--timeout-ms", options.device.timeoutMs, "Time-out of one device exchange")
      ->check(CLI::PositiveNumber);
  app.add_option("--plugin", options.pluginPath,
                 "Plug-in library (default: ../lib/liblayercutoutmodel.so.1 from lcd-host)");
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
  LCD::Tools::SessionOptions options;
  LCD::Tools::Job job;
  addSessionOptions(app, options);
  // Subcommands inherit this: the session options may follow the subcommand.
  app.fallthrough();
  LCD::Tools::addSetCutoutCommand(app, job);
  LCD::Tools::addReadColorCommand(app, job);
  LCD::Tools::addAssessCommand(app, job);
  LCD::Tools::addReportCommand(app, job);
  LCD::Tools::addDemoCommand(app, job);
  LCD::Tools::addWatchCommand(app, job);
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
