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

}  // namespace

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

}  // namespace LCD::Tools
