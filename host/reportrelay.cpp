#include "host/reportrelay.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

#include "communicator/deviceroute.h"
#include "communicator/devicesettings.h"
#include "communicator/exchangefailure.h"
#include "communicator/resourceurl.h"
#include "devicesim/reportstreamcontract.h"
#include "host/eventstreamparser.h"
#include "layercutout/httplogin.h"
#include "proto/response.h"

namespace LCD::Host {
namespace {

constexpr std::chrono::milliseconds kFirstRetry{50};
constexpr std::chrono::milliseconds kLongestRetry{2000};
// A report is a few KiB: the bound keeps a broken device from filling memory.
constexpr std::size_t kLongestReport = 8 << 20;
// A stream silent for this many heartbeats is dead.
constexpr long kSilentHeartbeats = 3;
constexpr int kPollMs = 1000;
constexpr long kHttpOk = 200;
constexpr long kHttpUnauthorized = 401;

struct EasyCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct ListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Null when libcurl has no memory for them.
std::unique_ptr<curl_slist, ListCleanup> streamHeaders(const std::string& token) {
  std::unique_ptr<curl_slist, ListCleanup> list;
  for (const std::string& line : {std::string("Accept: text/event-stream"), "Authorization: " + token}) {
    curl_slist* head = curl_slist_append(list.get(), line.c_str());
    if (head == nullptr) {
      return nullptr;
    }
    if (!list) {
      list.reset(head);
    }
  }
  return list;
}

}  // namespace

// One attempt's state, as libcurl's callbacks see it.
struct ReportRelay::Stream {
  ReportRelay& relay;
  CURL* curl;
  EventStreamParser parser;
  bool opened = false;
};

ReportRelay::ReportRelay(Runtime& runtime, AttemptObserver observer)
    : runtime_(runtime), observer_(std::move(observer)), multi_(curl_multi_init()), thread_([this] { run(); }) {}

ReportRelay::~ReportRelay() {
  stop();
  curl_multi_cleanup(multi_);
}

void ReportRelay::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  curl_multi_wakeup(multi_);
  if (thread_.joinable()) {
    thread_.join();
  }
}

void ReportRelay::run() {
  const std::unique_ptr<CURL, EasyCleanup> curl(curl_easy_init());
  std::chrono::milliseconds retry = kFirstRetry;
  while (!stopping_) {
    const Attempt attempt = curl && multi_ != nullptr ? streamOnce(curl.get()) : Attempt{false, "out of memory"};
    if (!attempt.opened && !stopping_ && observer_) {
      observer_(false, attempt.failure);
    }
    // A stream that ran is opened again at once; refusals wait longer each time.
    retry = attempt.opened ? kFirstRetry : retry;
    pause(retry);
    retry = attempt.opened ? retry : std::min(retry * 2, kLongestRetry);
  }
}

ReportRelay::Attempt ReportRelay::streamOnce(CURL* curl) {
  const Communicator::DeviceSettings device = Communicator::deviceSettings();
  HttpLogin* login = HttpLogin::getInstance();
  const std::string token = login->getToken();
  if (token.empty()) {
    const std::string cause = Communicator::lastExchangeFailure();
    return {false, cause.empty() ? "refused the login" : "did not answer (" + cause + ")"};
  }
  const auto headers = streamHeaders(token);
  if (!headers) {
    return {false, "out of memory"};
  }
  curl_easy_reset(curl);
  const std::string url = Communicator::resourceUrl(device.url, DeviceSim::kReportStreamPath);
  Stream stream{*this, curl, EventStreamParser(kLongestReport, [this](const std::string& text) { deliver(text); })};
  Communicator::routeToDevice(curl, url.c_str(), device.timeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kSilentHeartbeats * DeviceSim::kReportHeartbeat.count());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &stream);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &stream);

  const CURLcode code = perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status == kHttpUnauthorized) {
    login->forgetToken(token);
  }
  if (stream.opened) {
    return {true, ""};
  }
  if (status != 0) {
    return {false, "answered the report stream with HTTP " + std::to_string(status)};
  }
  return {false, std::string("did not answer (") + curl_easy_strerror(code) + ")"};
}

// Through the multi interface, so that stop() can wake the wait at once.
CURLcode ReportRelay::perform(CURL* curl) {
  curl_multi_add_handle(multi_, curl);
  int running = 1;
  while (running > 0 && !stopping_ && curl_multi_perform(multi_, &running) == CURLM_OK) {
    if (running > 0) {
      curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
    }
  }
  CURLcode code = CURLE_ABORTED_BY_CALLBACK;
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg == CURLMSG_DONE) {
      code = message->data.result;
    }
  }
  curl_multi_remove_handle(multi_, curl);
  return code;
}

void ReportRelay::deliver(const std::string& text) {
  AutoReport::LCDAutoReportData report;
  std::string error;
  if (!ProtoModel::decode(text, report, error)) {
    ++undecodable_;
    return;
  }
  // A seq lower than the last is a device that started afresh, not a gap.
  if (lastSeq_ != 0 && report.seq > std::uint64_t{lastSeq_} + 1) {
    missed_ += report.seq - lastSeq_ - 1;
  }
  lastSeq_ = report.seq;
  runtime_.sendEvent(report.tl.CommandCode, text.c_str(), static_cast<int>(text.size() + 1));
  ++delivered_;
}

void ReportRelay::pause(std::chrono::milliseconds delay) {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait_for(lock, delay, [this] { return stopping_.load(); });
}

// The blank line that ends the head: the stream is open when the answer is 200.
std::size_t ReportRelay::onHeader(char* data, std::size_t size, std::size_t count, void* target) noexcept {
  auto& stream = *static_cast<Stream*>(target);
  const std::string_view line(data, size * count);
  long status = 0;
  if ((line == "\r\n" || line == "\n") && curl_easy_getinfo(stream.curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
      status == kHttpOk) {
    stream.opened = true;
    ++stream.relay.opened_;
    if (stream.relay.observer_) {
      try {
        stream.relay.observer_(true, "");
      } catch (...) {
        return 0;
      }
    }
  }
  return size * count;
}

// Nothing may unwind through libcurl: a short count ends the stream instead.
// The body of a refusal is not an event stream and is dropped.
std::size_t ReportRelay::onData(char* data, std::size_t size, std::size_t count, void* target) noexcept {
  auto& stream = *static_cast<Stream*>(target);
  const std::size_t bytes = size * count;
  try {
    return !stream.opened || stream.parser.feed(data, bytes) ? bytes : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace LCD::Host
