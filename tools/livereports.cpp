#include "tools/livereports.h"

#include <iostream>
#include <type_traits>

#include "layercutout/messageids.h"
#include "tools/clierror.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {

std::string eventLine(const ReportEvent& event) {
  std::string text;
  std::visit(
      [&event, &text](const auto& data) {
        ProtoModel::encode(text, EventDocument<std::decay_t<decltype(data)>>{hexId(event.id), data});
      },
      event.data);
  return text + '\n';
}

void printEvent(const ReportEvent& event) { std::cout << eventLine(event) << std::flush; }

LiveReports::LiveReports(HostSession& session, Relay::RelayOptions relayOptions, std::size_t capacity)
    : session_(session),
      capacity_(capacity),
      observer_(std::move(relayOptions.observer)),
      subscriptions_{
          listen<std::vector<ProtoModel::Layer::s_LayerCutout>>(LayerCutout::MessageId::kLayerCutoutChanged),
          listen<ProtoModel::Layer::s_LayerCursorColorResult>(LayerCutout::MessageId::kLayerCutoutCursorChanged)},
      relay_(session.runtime(), observed(std::move(relayOptions))) {}

LiveReports::~LiveReports() {
  interrupt();
  relay_.stop();
  for (const Host::SubscriptionId subscription : subscriptions_) {
    session_.runtime().unsubscribe(subscription);
  }
}

void LiveReports::awaitStream() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return firstAttempt_.has_value() || interrupted_; });
  if (firstAttempt_ && !firstAttempt_->empty()) {
    throw CliError(ExitCode::deviceFailure,
                   "no reports: the device at " + session_.device().url() + " " + *firstAttempt_);
  }
}

std::optional<ReportEvent> LiveReports::next(std::chrono::milliseconds timeout) {
  return nextBefore(Clock::now() + timeout);
}

std::optional<ReportEvent> LiveReports::nextBefore(std::optional<Clock::time_point> deadline) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto ready = [this] { return !events_.empty() || interrupted_; };
  if (deadline) {
    changed_.wait_until(lock, *deadline, ready);
  } else {
    changed_.wait(lock, ready);
  }
  if (events_.empty() || interrupted_) {
    return std::nullopt;
  }
  ReportEvent event = std::move(events_.front());
  events_.pop_front();
  changed_.notify_all();
  return event;
}

void LiveReports::interrupt() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_ = true;
  }
  changed_.notify_all();
}

template <typename T>
Host::SubscriptionId LiveReports::listen(std::uint32_t eventId) {
  return session_.runtime().subscribe(eventId, [this, eventId](const wyn::IMessage& event) {
    if (std::optional<T> record = recordOf<T>(event)) {
      push({eventId, std::move(*record)});
    }
  });
}

// On the relay's thread: waiting here holds the device's stream back.
void LiveReports::push(ReportEvent event) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return events_.size() < capacity_ || interrupted_; });
  if (!interrupted_) {
    events_.push_back(std::move(event));
    changed_.notify_all();
  }
}

Relay::RelayOptions LiveReports::observed(Relay::RelayOptions options) {
  options.observer = [this](Relay::Notice notice, const std::string& text) { noteAttempt(notice, text); };
  return options;
}

void LiveReports::noteAttempt(Relay::Notice notice, const std::string& text) {
  if (notice == Relay::Notice::Opened || notice == Relay::Notice::Failed) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!firstAttempt_) {
      firstAttempt_ = notice == Relay::Notice::Opened ? "" : text.substr(0, text.rfind("; trying again"));
      changed_.notify_all();
      return;  // awaitStream() tells of the first attempt
    }
  }
  if (observer_) {
    observer_(notice, text);
  }
}

}  // namespace LCD::Tools
