#include "devicesim/reportstream.h"

#include "proto/reportstream.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <random>

namespace LCD {
namespace DeviceSim {
namespace {

namespace Stream = LCD::Proto::ReportStream;

constexpr std::size_t kLongestUserData = 0xffff;

std::string reportText(const std::string& serialNumber, std::uint64_t seq, std::uint32_t commandCode,
                       const std::string& body) {
  // UserDataLength has 16 bits: a longer body reports the most it can.
  const auto length = static_cast<std::uint16_t>(std::min(body.size(), kLongestUserData));
  const nlohmann::ordered_json report = {
      {"source", "device"},
      {"seq", static_cast<std::uint32_t>(seq)},
      {"sn", serialNumber},
      {"tl", {{"CommandCode", commandCode}, {"ErrorCode", 0}, {"UserDataLength", length}}},
      {"body", body}};
  return report.dump();
}

// Random, so that a restarted device never passes for the one before.
std::string newRun() {
  char run[17];
  std::snprintf(run, sizeof run, "%016llx", static_cast<unsigned long long>(std::mt19937_64(std::random_device{}())()));
  return run;
}

}  // namespace

ReportStream::ReportStream(std::string serialNumber, std::size_t windowLimit)
    : serialNumber_(std::move(serialNumber)), run_(newRun()), windowLimit_(std::max<std::size_t>(windowLimit, 1)) {}

void ReportStream::publish(std::uint32_t commandCode, const std::string& body) {
  std::lock_guard<std::mutex> lock(mutex_);
  window_.push_back(eventFor(commandCode, body));
  if (window_.size() > windowLimit_) {
    window_.pop_front();
  }
  published_.notify_all();
}

void ReportStream::subscribe(const std::string& lastEventId, httplib::Response& response) {
  SubscriberList::iterator position;
  std::shared_ptr<Subscriber> subscriber;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    subscriber = subscriberAfter(lastEventId);
    position = subscribers_.insert(subscribers_.end(), subscriber);
  }
  response.set_header("Cache-Control", "no-cache");
  response.set_chunked_content_provider(
      "text/event-stream",
      [this, subscriber](std::size_t, httplib::DataSink& sink) {
        const std::optional<Batch> batch = take(*subscriber);
        // Refusing to go on makes the server close the connection.
        return batch && (batch->text.empty() || sink.write(batch->text.data(), batch->text.size())) && !batch->last;
      },
      [this, position](bool) {
        std::lock_guard<std::mutex> lock(mutex_);
        subscribers_.erase(position);
      });
}

std::string ReportStream::lastId() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return idOf(seq_);
}

std::size_t ReportStream::subscribers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return subscribers_.size();
}

void ReportStream::close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  published_.notify_all();
}

// Called locked, so that seq order is window order.
ReportStream::Event ReportStream::eventFor(std::uint32_t commandCode, const std::string& body) {
  const std::string text = reportText(serialNumber_, ++seq_, commandCode, body);
  return {seq_, "id: " + idOf(seq_) + "\ndata: " + text + "\n\n"};
}

// Called locked.
std::shared_ptr<ReportStream::Subscriber> ReportStream::subscriberAfter(const std::string& lastEventId) const {
  const std::string heartbeat =
      "event: " + std::string(Stream::kHeartbeatEvent) + "\ndata: " + std::to_string(kReportHeartbeat.count()) + "\n";
  if (lastEventId.empty()) {
    // A new subscriber learns where the stream stands, to come back to it.
    return std::make_shared<Subscriber>(Subscriber{seq_ + 1, heartbeat + "id: " + idOf(seq_) + "\n\n", false});
  }
  const std::uint64_t oldest = window_.empty() ? seq_ + 1 : window_.front().seq;
  const std::optional<Stream::ReportId> last = Stream::parseReportId(lastEventId);
  if (!last || last->run != run_ || last->seq + 1 < oldest || last->seq > seq_) {
    const std::string resync = "event: " + std::string(Stream::kResyncEvent) + "\ndata: " + idOf(seq_) + "\n\n";
    return std::make_shared<Subscriber>(Subscriber{seq_ + 1, resync, true});
  }
  return std::make_shared<Subscriber>(Subscriber{last->seq + 1, heartbeat + "\n", false});
}

std::string ReportStream::idOf(std::uint64_t seq) const { return Stream::ReportId{run_, seq}.text(); }

std::optional<ReportStream::Batch> ReportStream::take(Subscriber& subscriber) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!subscriber.opening.empty()) {
    // A returning subscriber's replay goes out with its opening, before a
    // report published meanwhile can move the window past it.
    Batch batch{std::exchange(subscriber.opening, {}), subscriber.resync};
    if (!batch.last && seq_ >= subscriber.next) {
      const Batch replay = reportsFor(subscriber);
      batch = {batch.text + replay.text, replay.last};
    }
    return batch;
  }
  published_.wait_for(lock, kReportHeartbeat, [this, &subscriber] { return closed_ || seq_ >= subscriber.next; });
  if (closed_) {
    return std::nullopt;
  }
  return reportsFor(subscriber);
}

// Called locked.
ReportStream::Batch ReportStream::reportsFor(Subscriber& subscriber) const {
  if (seq_ < subscriber.next) {
    return {":\n", false};
  }
  if (window_.front().seq > subscriber.next) {
    return {"", true};  // fell behind the window
  }
  Batch batch{"", false};
  for (auto event = window_.begin() + static_cast<std::ptrdiff_t>(subscriber.next - window_.front().seq);
       event != window_.end(); ++event) {
    batch.text += event->text;
  }
  subscriber.next = seq_ + 1;
  return batch;
}

}  // namespace DeviceSim
}  // namespace LCD
