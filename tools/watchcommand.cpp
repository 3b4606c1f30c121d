#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>

#include "tools/commands.h"
#include "tools/livereports.h"

namespace LCD::Tools {
namespace {

using Clock = std::chrono::steady_clock;

// How often the wait looks at Ctrl-C and the deadline.
constexpr std::chrono::milliseconds kPoll{100};

struct WatchArguments {
  std::optional<int> count;
  std::optional<double> seconds;
};

constexpr const char* kFooter = R"(
Runs a report relay against the device's report stream, as another component
of the host would, and prints each event the plug-in sends on for a report,
one JSON line each, flushed at once, as 'lcd-host report' prints it:
  {"event":"0xfc08040e","data":[...]}   a layer's cutout changed
  {"event":"0xfc08040f","data":{...}}   a cutout cursor moved or switched
A line on standard error says when the stream is open. Stops after N events,
S seconds or Ctrl-C (exit 0); exit 1 when the device cannot be reached at all.
A dropped stream is opened again. Example, with a device simulator on 8080:
  lcd-host --device http://127.0.0.1:8080 watch --count 1 &
  echo '[{"layerId":1,"cutout":{"enable":1}}]' |
    lcd-host --device http://127.0.0.1:8080 set-cutout -)";

std::atomic<bool> interrupted{false};

extern "C" void interrupt(int) { interrupted = true; }

void watch(const WatchArguments& arguments, const SessionOptions& options) {
  std::signal(SIGINT, interrupt);
  std::signal(SIGTERM, interrupt);
  HostSession session(options);
  LiveReports reports(session);
  reports.awaitStream();
  std::cerr << "lcd-host: watching the reports of the device at " << session.device().url() << std::endl;
  std::optional<Clock::time_point> deadline;
  if (arguments.seconds) {
    deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*arguments.seconds));
  }
  for (int printed = 0; !arguments.count || printed < *arguments.count;) {
    if (interrupted || (deadline && Clock::now() >= *deadline)) {
      return;
    }
    if (const std::optional<ReportEvent> event = reports.next(kPoll)) {
      printEvent(*event);
      ++printed;
    }
  }
}

}  // namespace

void addWatchCommand(CLI::App& app, Job& job) {
  CLI::App* command = app.add_subcommand("watch", "Print the plug-in's events for the device's live reports");
  auto arguments = std::make_shared<WatchArguments>();
  command->add_option("--count", arguments->count, "Stop after N events")
      ->check(CLI::Range(1, std::numeric_limits<int>::max()));
  command->add_option("--seconds", arguments->seconds, "Stop after S seconds")->check(CLI::PositiveNumber);
  command->footer(kFooter);
  command->callback(
      [&job, arguments] { job = [arguments](const SessionOptions& options) { watch(*arguments, options); }; });
}

}  // namespace LCD::Tools
