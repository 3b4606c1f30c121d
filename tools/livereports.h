#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/reportrelay.h"
#include "proto/layercutout.h"
#include "tools/hostsession.h"

namespace LCD::Tools {

// One event the plug-in sent on for a device report, its payload copied.
struct ReportEvent {
  std::uint32_t id;
  std::variant<std::vector<ProtoModel::Layer::s_LayerCutout>, ProtoModel::Layer::s_LayerCursorColorResult> data;
};

// One line, as `lcd-host report` prints it, flushed at once.
void printEvent(const ReportEvent& event);

// The device's reports, live: a relay from the device into the session's host
// runtime, and the events the plug-in sends on for them (0xfc08040e and
// 0xfc08040f) as another component of the host receives them.
class LiveReports {
 public:
  explicit LiveReports(HostSession& session);
  ~LiveReports();
  LiveReports(const LiveReports&) = delete;
  LiveReports& operator=(const LiveReports&) = delete;

  // Returns once the report stream is open. Throws CliError (device failure)
  // when the first attempt to open it fails.
  void awaitStream();

  // The next event, waiting at most `timeout` for it.
  std::optional<ReportEvent> next(std::chrono::milliseconds timeout);

 private:
  template <typename T>
  Host::SubscriptionId listen(std::uint32_t eventId);

  HostSession& session_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<ReportEvent> events_;
  std::optional<std::string> firstAttempt_;  // why it failed; empty when the stream opened
  std::vector<Host::SubscriptionId> subscriptions_;
  Host::ReportRelay relay_;  // last: it delivers into the rest
};

}  // namespace LCD::Tools
