#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "host/runtime.h"
#include "proto/reportstream.h"
#include "reportrelay/backoff.h"
#include "reportrelay/eventstreamparser.h"
#include "reportrelay/transfers.h"

namespace LCD::Relay {

// What the relay tells its observer, one line of text each.
enum class Notice {
  Opened,     // a stream opened: the first, or one that resumes after the last report received
  Failed,     // an attempt failed or a stream ended, with the wait before the next
  Resynced,   // the device could not replay what was missed: its whole state went out as one report
  Duplicate,  // a report already delivered came again and was dropped
  Gap,        // reports missing: asked for again, or, when the device cannot give them, lost
};

struct RelayOptions {
  using Observer = std::function<void(Notice notice, const std::string& text)>;

  std::chrono::milliseconds firstRetry{50};
  std::chrono::milliseconds longestRetry{5000};
  // The longest wait while nothing answers at all: a device that is down or
  // out of reach costs nothing to try, and is followed closely.
  std::chrono::milliseconds longestUnreachedRetry{200};
  // How long a stream may stay silent before it counts as dead when the
  // device announces no heartbeat (with one, three of its heartbeats).
  std::chrono::milliseconds silenceLimit{std::chrono::seconds(60)};
  // Called on the relay's thread.
  Observer observer;
  // Waits out a back-off in place of the relay's own wait (which stop()
  // ends at once): how a test sees the waits without spending them.
  std::function<void(std::chrono::milliseconds)> wait;
};

// Carries the device's automatic reports into a host. On a thread of its own
// it subscribes to the device's report stream over libcurl, with the
// communicator's device settings and a login of its own, and delivers each
// report through the runtime's event dispatcher as the host framework does:
// event id tl.CommandCode, payload the report's JSON text with its NUL, in the
// order the device numbered them, each once. A stream that ends is opened
// again after the last report received, which the device replays from; when
// it cannot (it started afresh, or no longer holds them), the relay reads
// every layer's cutout and delivers it as one cutout report, then goes on
// from the report that state includes. Deliveries are synchronous: a
// subscriber that takes its time holds the stream back, never the reports.
class ReportRelay {
 public:
  explicit ReportRelay(Host::Runtime& runtime, RelayOptions options = {});
  ~ReportRelay();
  ReportRelay(const ReportRelay&) = delete;
  ReportRelay& operator=(const ReportRelay&) = delete;

  // Ends whatever the relay is doing (a login, a stream, a wait) and joins
  // its thread, at once unless a delivery under way does not return. Not
  // from a delivery.
  void stop();

  std::uint64_t streamsOpened() const { return opened_; }
  std::uint64_t reportsDelivered() const { return delivered_; }
  // Reports whose text did not decode: they have no event id.
  std::uint64_t reportsUndecodable() const { return undecodable_; }
  std::uint64_t duplicatesDropped() const { return duplicates_; }
  // Reports the device numbered but could not give again.
  std::uint64_t reportsLost() const { return lost_; }
  std::uint64_t resyncs() const { return resyncs_; }

 private:
  struct Attempt {
    bool delivered;          // reports reached the host
    bool again;              // the next attempt follows at once
    std::string cause;       // why it ended
    bool unreached = false;  // nothing answered: no device, or no way to it
  };
  struct Stream;
  enum class End { Running, Dropped, Resync, Gap };

  void run();
  Attempt attempt(CURL* curl);
  std::optional<Attempt> logIn(CURL* curl, const Communicator::DeviceSettings& device);
  std::optional<Attempt> resync(CURL* curl, const Communicator::DeviceSettings& device, bool freshToken);
  Attempt follow(CURL* curl, const Communicator::DeviceSettings& device, bool freshToken);
  Attempt refusedToken(bool freshToken, const std::string& what);
  void onEvent(Stream& stream, const StreamEvent& event);
  bool placeReport(Stream& stream, const Proto::ReportStream::ReportId& id);
  void deliver(const std::string& text);
  void tell(Notice notice, const std::string& text) const;
  void pause(std::chrono::milliseconds delay);

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* stream) noexcept;
  static std::size_t onData(char* data, std::size_t size, std::size_t count, void* stream) noexcept;

  Host::Runtime& runtime_;
  const RelayOptions options_;
  Transfers transfers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<std::uint64_t> opened_{0};
  std::atomic<std::uint64_t> delivered_{0};
  std::atomic<std::uint64_t> undecodable_{0};
  std::atomic<std::uint64_t> duplicates_{0};
  std::atomic<std::uint64_t> lost_{0};
  std::atomic<std::uint64_t> resyncs_{0};
  // The relay thread's alone:
  BackOff backOff_;
  std::optional<long> deviceRetryMs_;
  std::string token_;
  std::optional<Proto::ReportStream::ReportId> last_;  // the last report received
  bool resyncDue_ = false;
  bool atOnceUsed_ = false;  // one immediate attempt in a row, so that no device can make it spin
  std::thread thread_;       // last: it starts once the rest is in place
};

}  // namespace LCD::Relay
