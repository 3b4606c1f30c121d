#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "host/runtime.h"

namespace LCD::Host {

// Carries the device's automatic reports into a host. On a thread of its own
// it subscribes to the device's report stream over libcurl, with the
// communicator's device settings and login token, and delivers each report
// through the runtime's event dispatcher as the host framework does: event id
// tl.CommandCode, payload the report's JSON text with its terminating NUL, in
// the order the device sent them. A stream that drops or is refused is opened
// again after a back-off; a refused token is dropped first, so that the next
// attempt logs in again. The device's other traffic never waits for it.
class ReportRelay {
 public:
  // Called on the relay's thread: when a stream opens (opened true), and when
  // an attempt fails, with why, as in "did not answer (refused)".
  using AttemptObserver = std::function<void(bool opened, const std::string& failure)>;

  explicit ReportRelay(Runtime& runtime, AttemptObserver observer = nullptr);
  ~ReportRelay();
  ReportRelay(const ReportRelay&) = delete;
  ReportRelay& operator=(const ReportRelay&) = delete;

  // Ends the stream and joins the thread at once, except that a login under
  // way ends first (within the device's time-out). Not from a delivery.
  void stop();

  std::uint64_t streamsOpened() const { return opened_; }
  std::uint64_t reportsDelivered() const { return delivered_; }
  // Reports whose text did not decode: they have no event id.
  std::uint64_t reportsUndecodable() const { return undecodable_; }
  // Gaps in seq between the reports delivered: reports lost on the way or
  // not decoded.
  std::uint64_t reportsMissed() const { return missed_; }

 private:
  struct Attempt {
    bool opened;
    std::string failure;
  };
  struct Stream;

  void run();
  Attempt streamOnce(CURL* curl);
  CURLcode perform(CURL* curl);
  void deliver(const std::string& text);
  void pause(std::chrono::milliseconds delay);

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* stream) noexcept;
  static std::size_t onData(char* data, std::size_t size, std::size_t count, void* stream) noexcept;

  Runtime& runtime_;
  const AttemptObserver observer_;
  CURLM* const multi_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> stopping_{false};
  std::atomic<std::uint64_t> opened_{0};
  std::atomic<std::uint64_t> delivered_{0};
  std::atomic<std::uint64_t> undecodable_{0};
  std::atomic<std::uint64_t> missed_{0};
  std::uint32_t lastSeq_ = 0;  // the relay thread's alone
  std::thread thread_;         // last: it starts once the rest is in place
};

}  // namespace LCD::Host
