#pragma once

#include <httplib.h>

#include <chrono>
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

// An idle stream carries a comment line this often, so that either end
// notices a peer that went away; each stream announces it first.
constexpr std::chrono::milliseconds kReportHeartbeat{1000};

// The device's automatic reports and their subscribers, as
// proto/reportstream.h describes the stream. Each report gets the next seq and
// the id "RUN-SEQ", RUN fixed for this object's life. The last `windowLimit`
// reports are kept: every subscriber reads them from there on its own
// connection thread, and one that comes back asking for reports the window
// still holds gets them again. A subscriber that falls behind the window has
// its stream ended, so that it comes back and is told to resync; nobody waits
// for it. Thread-safe.
class ReportStream {
 public:
  ReportStream(std::string serialNumber, std::size_t windowLimit);

  // Numbers the report about `body` (the record's JSON text) and keeps it for
  // every subscriber.
  void publish(std::uint32_t commandCode, const std::string& body);

  // Makes `response` a stream of the reports after `lastEventId` (all those
  // published from now on when it is empty), or of one resync event when the
  // window does not reach back to it. It ends when the client goes, when the
  // subscriber falls behind, or at close().
  void subscribe(const std::string& lastEventId, httplib::Response& response);

  // The id of the last report published ("RUN-0" before the first).
  std::string lastId() const;

  std::size_t subscribers() const;

  // Ends every stream at once; later subscriptions end as they start.
  void close();

 private:
  struct Event {
    std::uint64_t seq;
    std::string text;
  };
  struct Subscriber {
    std::uint64_t next;   // seq of the next report to send
    std::string opening;  // sent before anything else
    bool resync;          // the opening is all it gets
  };
  struct Batch {
    std::string text;
    bool last;
  };
  using SubscriberList = std::list<std::shared_ptr<Subscriber>>;

  Event eventFor(std::uint32_t commandCode, const std::string& body);
  std::shared_ptr<Subscriber> subscriberAfter(const std::string& lastEventId) const;
  std::string idOf(std::uint64_t seq) const;
  // What the subscriber gets next, or a heartbeat after a quiet interval; no
  // value once the stream is closed.
  std::optional<Batch> take(Subscriber& subscriber);
  Batch reportsFor(Subscriber& subscriber) const;

  const std::string serialNumber_;
  const std::string run_;
  const std::size_t windowLimit_;
  mutable std::mutex mutex_;
  std::condition_variable published_;
  SubscriberList subscribers_;
  std::deque<Event> window_;
  std::uint64_t seq_ = 0;
  bool closed_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
