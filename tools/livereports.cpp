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

// The payload is the record in its in-memory form; what it refers to lives
// only while the event is delivered, so it is copied right here.
template <typename T>
Host::SubscriptionId LiveReports::listen(std::uint32_t eventId) {
  return session_.runtime().subscribe(eventId, [this, eventId](const wyn::IMessage& event) {
    if (event.getDataSize() != sizeof(T) || event.getData() == nullptr) {
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({eventId, *static_cast<const T*>(event.getData())});
    changed_.notify_all();
  });
}

}  // namespace LCD::Tools
