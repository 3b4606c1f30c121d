#include "tools/livereports.h"

#include <iostream>
#include <type_traits>

#include "layercutout/messageids.h"
#include "tools/clierror.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {

void printEvent(const ReportEvent& event) {
  std::visit(
      [&event](const auto& data) {
        printDocument(EventDocument<std::decay_t<decltype(data)>>{hexId(event.id), data});
      },
      event.data);
  std::cout.flush();
}

LiveReports::LiveReports(HostSession& session)
    : session_(session),
      subscriptions_{
          listen<std::vector<ProtoModel::Layer::s_LayerCutout>>(LayerCutout::MessageId::kLayerCutoutChanged),
          listen<ProtoModel::Layer::s_LayerCursorColorResult>(LayerCutout::MessageId::kLayerCutoutCursorChanged)},
      relay_(session.runtime(), [this](bool opened, const std::string& failure) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!firstAttempt_) {
          firstAttempt_ = opened ? "" : failure;
          changed_.notify_all();
        }
      }) {}

LiveReports::~LiveReports() {
  relay_.stop();
  for (const Host::SubscriptionId subscription : subscriptions_) {
    session_.runtime().unsubscribe(subscription);
  }
}

void LiveReports::awaitStream() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return firstAttempt_.has_value(); });
  if (!firstAttempt_->empty()) {
    throw CliError(ExitCode::deviceFailure,
                   "no reports: the device at " + session_.device().url() + " " + *firstAttempt_);
  }
}

std::optional<ReportEvent> LiveReports::next(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [this] { return !events_.empty(); })) {
    return std::nullopt;
  }
  ReportEvent event = std::move(events_.front());
  events_.pop_front();
  return event;
}

template <typename T>
Host::SubscriptionId LiveReports::listen(std::uint32_t eventId) {
  return session_.runtime().subscribe(eventId, [this, eventId](const wyn::IMessage& event) {
    std::optional<T> record = recordOf<T>(event);
    if (!record) {
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({eventId, std::move(*record)});
    changed_.notify_all();
  });
}

}  // namespace LCD::Tools
