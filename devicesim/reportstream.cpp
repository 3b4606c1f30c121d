#include "devicesim/reportstream.h"

#include "devicesim/reportstreamcontract.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace LCD {
namespace DeviceSim {
namespace {

// What an ErrorReport fault puts in tl.ErrorCode.
constexpr std::uint16_t kFaultErrorCode = 3;
constexpr std::size_t kLongestUserData = 0xffff;

std::string firstHalf(const std::string& text) { return text.substr(0, text.size() / 2); }

std::string reportText(const std::string& serialNumber, std::uint32_t seq, std::uint32_t commandCode,
                       std::uint16_t errorCode, const std::string& body) {
  // UserDataLength has 16 bits: a longer body reports the most it can.
  const auto length = static_cast<std::uint16_t>(std::min(body.size(), kLongestUserData));
  const nlohmann::ordered_json report = {
      {"source", "device"},
      {"seq", seq},
      {"sn", serialNumber},
      {"tl", {{"CommandCode", commandCode}, {"ErrorCode", errorCode}, {"UserDataLength", length}}},
      {"body", body}};
  return report.dump();
}

}  // namespace

ReportStream::ReportStream(std::string serialNumber, std::size_t queueLimit)
    : serialNumber_(std::move(serialNumber)), queueLimit_(std::max<std::size_t>(queueLimit, 1)) {}

void ReportStream::publish(std::uint32_t commandCode, const std::string& body, const std::optional<Fault>& fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Event event = eventFor(commandCode, body, fault);
  for (const std::shared_ptr<Subscriber>& subscriber : subscribers_) {
    if (subscriber->queue.size() == queueLimit_) {
      subscriber->queue.pop_front();
    }
    subscriber->queue.push_back(event);
  }
  published_.notify_all();
}

void ReportStream::subscribe(httplib::Response& response) {
  const auto subscriber = std::make_shared<Subscriber>();
  SubscriberList::iterator position;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    position = subscribers_.insert(subscribers_.end(), subscriber);
  }
  response.set_header("Cache-Control", "no-cache");
  response.set_chunked_content_provider(
      "text/event-stream",
      [this, subscriber](std::size_t, httplib::DataSink& sink) {
        const std::optional<std::deque<Event>> events = take(*subscriber);
        if (!events) {
          return false;
        }
        std::string text = events->empty() ? ":\n" : "";
        bool cut = false;
        for (auto event = events->begin(); event != events->end() && !cut; ++event) {
          text += event->text;
          cut = event->cut;
        }
        // Refusing to go on makes the server close the connection.
        return sink.write(text.data(), text.size()) && !cut;
      },
      [this, position](bool) {
        std::lock_guard<std::mutex> lock(mutex_);
        subscribers_.erase(position);
      });
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

// Called locked, so that seq order is queue order.
ReportStream::Event ReportStream::eventFor(std::uint32_t commandCode, const std::string& body,
                                           const std::optional<Fault>& fault) {
  const auto spoils = [&fault](FaultKind kind) { return fault && fault->kind == kind; };
  const std::string text =
      reportText(serialNumber_, ++seq_, commandCode, spoils(FaultKind::ErrorReport) ? kFaultErrorCode : 0,
                 spoils(FaultKind::GarbledReportBody) ? firstHalf(body) : body);
  const std::string event = "data: " + (spoils(FaultKind::GarbledReport) ? firstHalf(text) : text) + "\n\n";
  return spoils(FaultKind::CutReport) ? Event{firstHalf(event), true} : Event{event, false};
}

std::optional<std::deque<ReportStream::Event>> ReportStream::take(Subscriber& subscriber) {
  std::unique_lock<std::mutex> lock(mutex_);
  published_.wait_for(lock, kReportHeartbeat, [this, &subscriber] { return closed_ || !subscriber.queue.empty(); });
  if (closed_) {
    return std::nullopt;
  }
  std::deque<Event> events;
  events.swap(subscriber.queue);
  return events;
}

}  // namespace DeviceSim
}  // namespace LCD
