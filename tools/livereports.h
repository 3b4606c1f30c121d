#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "proto/layercutout.h"
#include "reportrelay/reportrelay.h"
#include "tools/hostsession.h"

namespace LCD::Tools {

// One event the plug-in sent on for a device report, its payload copied.
struct ReportEvent {
  std::uint32_t id;
  std::variant<std::vector<ProtoModel::Layer::s_LayerCutout>, ProtoModel::Layer::s_LayerCursorColorResult> data;
};

// One line, as `lcd-host report` prints it, with its line feed.
std::string eventLine(const ReportEvent& event);
// That line on standard output, flushed at once.
void printEvent(const ReportEvent& event);

// The device's reports, live: a relay from the device into the session's host
// runtime, and the events the plug-in sends on for them (0xfc08040e and
// 0xfc08040f) as another component of the host receives them. At most
// `capacity` events wait to be taken: beyond, the relay waits, and so stops
// reading from the device, which keeps what it sends meanwhile.
class LiveReports {
 public:
  using Clock = std::chrono::steady_clock;

  // The relay's observer hears of every attempt but the first, which
  // awaitStream() tells of.
  explicit LiveReports(HostSession& session, Relay::RelayOptions relayOptions = {}, std::size_t capacity = 64);
  ~LiveReports();
  LiveReports(const LiveReports&) = delete;
  LiveReports& operator=(const LiveReports&) = delete;

  // Returns once the report stream is open, or at interrupt(). Throws
  // CliError (device failure) when the first attempt to open it fails.
  void awaitStream();

  // The next event, waiting at most `timeout` for it.
  std::optional<ReportEvent> next(std::chrono::milliseconds timeout);
  // The next event, waiting for it until `deadline`, if any, or interrupt().
  std::optional<ReportEvent> nextBefore(std::optional<Clock::time_point> deadline);

  // Ends every wait at once, from any thread; events still to come are dropped.
  void interrupt();

 private:
  template <typename T>
  Host::SubscriptionId listen(std::uint32_t eventId);
  void push(ReportEvent event);
  void noteAttempt(Relay::Notice notice, const std::string& text);
  Relay::RelayOptions observed(Relay::RelayOptions options);

  HostSession& session_;
  const std::size_t capacity_;
  Relay::RelayOptions::Observer observer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<ReportEvent> events_;
  bool interrupted_ = false;
  std::optional<std::string> firstAttempt_;  // why it failed; empty when the stream opened
  std::vector<Host::SubscriptionId> subscriptions_;
  Relay::ReportRelay relay_;  // last: it delivers into the rest
};

}  // namespace LCD::Tools
