#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <thread>

#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/livereports.h"

namespace LCD::Tools {
namespace {

using Clock = std::chrono::steady_clock;

// Events taken from the device but not yet written: the rest waits there.
constexpr std::size_t kWaitingEvents = 64;

struct WatchArguments {
  std::optional<int> count;
  std::optional<double> seconds;
  double silence = 60;
};

constexpr const char* kFooter = R"(
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

// Blocked before any thread starts, so that only Interruption's thread takes them.
sigset_t blockTerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

// SIGINT and SIGTERM, taken on a thread of their own: the first ends every
// wait of the watch, and a write to a stalled standard output, at once.
class Interruption {
 public:
  Interruption(const sigset_t& signals, std::function<void()> onSignal) : signals_(signals) {
    if (pipe(wake_) != 0) {
      throw CliError(ExitCode::internalError, std::string("cannot watch for Ctrl-C: ") + std::strerror(errno));
    }
    thread_ = std::thread([this, onSignal = std::move(onSignal)] {
      int received = 0;
      sigwait(&signals_, &received);
      if (!ending_) {
        [[maybe_unused]] const ssize_t written = write(wake_[1], "!", 1);
        onSignal();
      }
    });
  }
  ~Interruption() {
    ending_ = true;
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
    close(wake_[0]);
    close(wake_[1]);
  }
  Interruption(const Interruption&) = delete;
  Interruption& operator=(const Interruption&) = delete;

  // Readable once a signal came.
  int fd() const { return wake_[0]; }

 private:
  const sigset_t signals_;
  int wake_[2] = {-1, -1};
  std::atomic<bool> ending_{false};
  std::thread thread_;
};

// Writes `text` to standard output; false when a signal came first. Pieces of
// at most PIPE_BUF bytes never block once poll says the output has room.
bool writeOut(const std::string& text, int wakeFd) {
  for (std::size_t done = 0; done < text.size();) {
    pollfd watched[2] = {{STDOUT_FILENO, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
    if (poll(watched, 2, -1) < 0 && errno != EINTR) {
      throw CliError(ExitCode::internalError, std::string("cannot wait for standard output: ") + std::strerror(errno));
    }
    if (watched[1].revents != 0) {
      return false;
    }
    if (watched[0].revents == 0) {
      continue;
    }
    const ssize_t written =
        write(STDOUT_FILENO, text.data() + done, std::min<std::size_t>(text.size() - done, PIPE_BUF));
    if (written < 0 && errno != EINTR && errno != EAGAIN) {
      throw CliError(ExitCode::internalError, std::string("cannot write standard output: ") + std::strerror(errno));
    }
    done += static_cast<std::size_t>(std::max<ssize_t>(written, 0));
  }
  return true;
}

void watch(const WatchArguments& arguments, const SessionOptions& options) {
  const sigset_t signals = blockTerminationSignals();
  HostSession session(options);
  Relay::RelayOptions relay;
  relay.silenceLimit =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(arguments.silence));
  relay.observer = [](Relay::Notice, const std::string& text) { std::cerr << "lcd-host: " + text + "\n"; };
  LiveReports reports(session, relay, kWaitingEvents);
  Interruption interruption(signals, [&reports] { reports.interrupt(); });
  reports.awaitStream();
  std::cerr << "lcd-host: watching the reports of the device at " + session.device().url() + "\n";
  std::optional<Clock::time_point> deadline;
  if (arguments.seconds) {
    deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*arguments.seconds));
  }
  for (int printed = 0; !arguments.count || printed < *arguments.count; ++printed) {
    const std::optional<ReportEvent> event = reports.nextBefore(deadline);
    if (!event || !writeOut(eventLine(*event), interruption.fd())) {
      return;
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
  command
      ->add_option("--silence", arguments->silence,
                   "Seconds a stream may stay silent before it counts as dead, when the device announces no heartbeat")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  command->footer(kFooter);
  command->callback(
      [&job, arguments] { job = [arguments](const SessionOptions& options) { watch(*arguments, options); }; });
}

}  // namespace LCD::Tools
