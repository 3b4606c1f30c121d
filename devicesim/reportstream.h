#pragma once

#include "devicesim/fault.h"

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace LCD {
namespace DeviceSim {

// tl.CommandCode of the device's two reports.
constexpr std::uint32_t kCutoutReportCode = 528656;
constexpr std::uint32_t kCursorReportCode = 528657;

// The device's automatic reports and their subscribers. Each report gets the
// next seq (1, 2, 3...) and goes to every subscriber's queue, which the
// subscriber's own connection thread writes out. A queue holds at most
// `queueLimit` reports: a subscriber that falls behind loses the oldest,
// which shows as a gap in seq, and nobody waits for it. Thread-safe.
class ReportStream {
 public:
  ReportStream(std::string serialNumber, std::size_t queueLimit);

  // Numbers the report about `body` (the record's JSON text), spoils it as
  // `fault` says, and queues it for every subscriber.
  void publish(std::uint32_t commandCode, const std::string& body, const std::optional<Fault>& fault);

  // Makes `response` a stream of the reports published from now on. It ends
  // when the client goes, after a cut report, or at close().
  void subscribe(httplib::Response& response);

  std::size_t subscribers() const;

  // Ends every stream at once; later subscriptions end as they start.
  void close();

 private:
  struct Event {
    std::string text;
    bool cut;  // the stream ends after it
  };
  struct Subscriber {
    std::deque<Event> queue;
  };
  using SubscriberList = std::list<std::shared_ptr<Subscriber>>;

  Event eventFor(std::uint32_t commandCode, const std::string& body, const std::optional<Fault>& fault);
  // The subscriber's queued events, or nothing after a quiet heartbeat
  // interval; no value once the stream is closed.
  std::optional<std::deque<Event>> take(Subscriber& subscriber);

  const std::string serialNumber_;
  const std::size_t queueLimit_;
  mutable std::mutex mutex_;
  std::condition_variable published_;
  SubscriberList subscribers_;
  std::uint32_t seq_ = 0;
  bool closed_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
