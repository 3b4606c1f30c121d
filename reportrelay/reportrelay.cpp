#include "reportrelay/reportrelay.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "communicator/deviceroute.h"
#include "communicator/resourceurl.h"
#include "proto/constants.h"
#include "proto/response.h"
#include "reportrelay/eventstreamparser.h"

namespace LCD::Relay {
namespace {

namespace Contract = Proto::ReportStream;
namespace Constants = Proto::Constants;
using Clock = std::chrono::steady_clock;
using Communicator::DeviceSettings;

// A report is a few KiB, a state of every layer some hundred: the bound keeps
// a broken device from filling memory.
constexpr std::size_t kLongestReport = 8 << 20;
constexpr std::size_t kLongestLoginReply = 64 << 10;
// A stream silent for this many of the device's heartbeats is dead.
constexpr long kSilentHeartbeats = 3;
constexpr std::size_t kLongestHeartbeatDigits = 9;
constexpr long kHttpOk = 200;
constexpr long kHttpUnauthorized = 401;
constexpr std::size_t kLongestUserData = 0xffff;

struct EasyCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct ListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Null when libcurl has no memory for them.
std::unique_ptr<curl_slist, ListCleanup> headerList(const std::vector<std::string>& lines) {
  std::unique_ptr<curl_slist, ListCleanup> list;
  for (const std::string& line : lines) {
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

std::string reports(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " report" : " reports"); }

std::string loginBody(const DeviceSettings& device) {
  const nlohmann::json body{{"username", device.user}, {"password", device.password}};
  return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The token of a successful login reply, or empty.
std::string tokenFrom(const std::string& reply) {
  const nlohmann::json answer = nlohmann::json::parse(reply, nullptr, false);
  const nlohmann::json* const token =
      answer.is_object() && answer.contains("data") && answer["data"].is_object() && answer["data"].contains("token")
          ? &answer["data"]["token"]
          : nullptr;
  return token != nullptr && token->is_string() ? token->get<std::string>() : std::string();
}

struct State {
  nlohmann::json layers;
  Contract::ReportId includes;
};

// The layers and report id of a successful reply to the state's GET.
std::optional<State> stateFrom(const std::string& reply) {
  const nlohmann::json answer = nlohmann::json::parse(reply, nullptr, false);
  if (!answer.is_object() || !answer.contains("data") || !answer["data"].is_array() ||
      !answer.contains(Contract::kStateReportIdKey) || !answer[Contract::kStateReportIdKey].is_string() ||
      (answer.contains("code") && answer["code"] != 0)) {
    return std::nullopt;
  }
  const std::optional<Contract::ReportId> id =
      Contract::parseReportId(answer[Contract::kStateReportIdKey].get<std::string>());
  return id ? std::optional<State>(State{answer["data"], *id}) : std::nullopt;
}

// A cutout report of every layer, as the device would send one.
std::string stateReport(const State& state) {
  const std::string body = state.layers.dump();
  const nlohmann::ordered_json report = {{"source", "device"},
                                         {"seq", static_cast<std::uint32_t>(state.includes.seq)},
                                         {"sn", ""},
                                         {"tl",
                                          {{"CommandCode", Contract::kCutoutReportCode},
                                           {"ErrorCode", 0},
                                           {"UserDataLength", std::min(body.size(), kLongestUserData)}}},
                                         {"body", body}};
  return report.dump();
}

}  // namespace

// One stream's state, as libcurl's callbacks see it.
struct ReportRelay::Stream {
  Stream(ReportRelay& relay, CURL* curl, std::chrono::milliseconds silenceLimit)
      : relay(relay),
        curl(curl),
        parser(kLongestReport, [this](const StreamEvent& event) { this->relay.onEvent(*this, event); }),
        silenceLimit(silenceLimit) {}

  bool silent() const { return Clock::now() - lastHeard > silenceLimit; }
  void endWith(End why, std::string text) {
    end = why;
    cause = std::move(text);
  }

  ReportRelay& relay;
  CURL* curl;
  EventStreamParser parser;
  std::chrono::milliseconds silenceLimit;
  Clock::time_point lastHeard = Clock::now();
  std::optional<std::uint64_t> resumedFrom;
  bool opened = false;
  bool delivered = false;
  bool firstReport = true;
  End end = End::Running;
  std::string cause;
};

ReportRelay::ReportRelay(Host::Runtime& runtime, RelayOptions options)
    : runtime_(runtime), options_(std::move(options)), backOff_(options_.firstRetry), thread_([this] { run(); }) {}

ReportRelay::~ReportRelay() { stop(); }

void ReportRelay::stop() {
  transfers_.stop();
  {
    // Taken once, so that a pause() between its look at the flag and its wait cannot miss the wake.
    std::lock_guard<std::mutex> lock(mutex_);
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void ReportRelay::run() {
  const std::unique_ptr<CURL, EasyCleanup> curl(curl_easy_init());
  unsigned failures = 0;
  while (!transfers_.stopped()) {
    const Attempt attempt = curl ? this->attempt(curl.get()) : Attempt{false, false, "out of memory"};
    if (transfers_.stopped()) {
      break;
    }
    failures = attempt.delivered ? 0 : failures + (attempt.again ? 0 : 1);
    if (attempt.again) {
      tell(Notice::Failed, attempt.cause + "; trying again at once");
      continue;
    }
    const std::chrono::milliseconds delay = backOff_.after(
        failures, deviceRetryMs_, attempt.unreached ? options_.longestUnreachedRetry : options_.longestRetry);
    tell(Notice::Failed, attempt.cause + "; trying again in " + std::to_string(delay.count()) + " ms");
    if (options_.wait) {
      options_.wait(delay);
    } else {
      pause(delay);
    }
  }
}

ReportRelay::Attempt ReportRelay::attempt(CURL* curl) {
  const DeviceSettings device = Communicator::deviceSettings();
  const bool freshToken = token_.empty();
  if (freshToken) {
    if (std::optional<Attempt> failed = logIn(curl, device)) {
      return *failed;
    }
  }
  if (resyncDue_) {
    if (std::optional<Attempt> failed = resync(curl, device, freshToken)) {
      return *failed;
    }
  }
  return follow(curl, device, freshToken);
}

// Nothing once a token is in hand; else why not.
std::optional<ReportRelay::Attempt> ReportRelay::logIn(CURL* curl, const DeviceSettings& device) {
  const Answer answer = request(transfers_, curl, device, Constants::HTTPPOSTREQUEST, Constants::POSTLOGIN, "",
                                loginBody(device), kLongestLoginReply);
  token_ = answer.status == kHttpOk ? tokenFrom(answer.body) : std::string();
  if (answer.status == 0) {
    return Attempt{false, false, "did not answer (" + answer.failure + ")", true};
  }
  if (token_.empty()) {
    return Attempt{false, false, "refused the login (HTTP " + std::to_string(answer.status) + ")"};
  }
  return std::nullopt;
}

// Nothing once the state went out; else why not.
std::optional<ReportRelay::Attempt> ReportRelay::resync(CURL* curl, const DeviceSettings& device, bool freshToken) {
  const Answer answer = request(transfers_, curl, device, Constants::HTTPGETREQUEST, Constants::PUTLAYERSCUTOUT, token_,
                                "", kLongestReport);
  if (answer.status == kHttpUnauthorized) {
    return refusedToken(freshToken, "the layer cutout state");
  }
  if (answer.status == 0) {
    return Attempt{false, false, "did not answer for the layer cutout state (" + answer.failure + ")", true};
  }
  const std::optional<State> state = answer.status == kHttpOk ? stateFrom(answer.body) : std::nullopt;
  if (!state) {
    return Attempt{false, false,
                   "answered for the layer cutout state with HTTP " + std::to_string(answer.status) + " and no state"};
  }
  deliver(stateReport(*state));
  last_ = state->includes;
  resyncDue_ = false;
  ++resyncs_;
  tell(Notice::Resynced, "resynced: the device's whole state (" + std::to_string(state->layers.size()) +
                             " layers) as of report " + last_->text() + " went out as one cutout report");
  return std::nullopt;
}

ReportRelay::Attempt ReportRelay::follow(CURL* curl, const DeviceSettings& device, bool freshToken) {
  std::vector<std::string> lines{"Accept: text/event-stream", "Authorization: " + token_};
  if (last_) {
    lines.push_back(std::string(Contract::kLastEventIdHeader) + ": " + last_->text());
  }
  const auto headers = headerList(lines);
  if (!headers) {
    return {false, false, "out of memory"};
  }
  curl_easy_reset(curl);
  const std::string url = Communicator::resourceUrl(device.url, Contract::kPath);
  Communicator::routeToDevice(curl, url.c_str(), device.timeoutMs);
  Stream stream(*this, curl, options_.silenceLimit);
  stream.resumedFrom = last_ ? std::optional<std::uint64_t>(last_->seq) : std::nullopt;
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &stream);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &stream);

  const CURLcode code = transfers_.perform(curl, [&stream] { return stream.end == End::Running && !stream.silent(); });
  deviceRetryMs_ = stream.parser.retryMs() ? stream.parser.retryMs() : deviceRetryMs_;
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status == kHttpUnauthorized) {
    return refusedToken(freshToken, "the report stream");
  }
  if (!stream.opened && status != 0) {
    return {false, false, "answered the report stream with HTTP " + std::to_string(status)};
  }
  if (!stream.opened) {
    return {false, false, "did not answer (" + failureOf(code) + ")", true};
  }
  if (stream.end == End::Resync || stream.end == End::Gap) {
    const bool again = !std::exchange(atOnceUsed_, true);
    return {stream.delivered, again, stream.cause};
  }
  if (stream.end == End::Dropped) {
    return {stream.delivered, false, stream.cause};
  }
  if (stream.silent()) {
    return {stream.delivered, false,
            "the report stream was silent for " + std::to_string(stream.silenceLimit.count()) + " ms"};
  }
  return {stream.delivered, false,
          code == CURLE_OK ? std::string("the device ended the report stream")
                           : "the report stream broke (" + failureOf(code) + ")"};
}

// A token refused right after the login that gave it counts as a failure, so
// that a device that refuses every token is not asked again at once.
ReportRelay::Attempt ReportRelay::refusedToken(bool freshToken, const std::string& what) {
  token_.clear();
  return freshToken ? Attempt{false, false, "refused a fresh token for " + what}
                    : Attempt{false, true, "refused the token for " + what + ": logging in again"};
}

void ReportRelay::onEvent(Stream& stream, const StreamEvent& event) {
  if (stream.end != End::Running) {
    return;
  }
  const std::optional<Contract::ReportId> id = Contract::parseReportId(event.id);
  if (event.type == Contract::kHeartbeatEvent) {
    if (!event.data.empty() && event.data.size() <= kLongestHeartbeatDigits &&
        event.data.find_first_not_of("0123456789") == std::string::npos) {
      stream.silenceLimit = std::chrono::milliseconds(kSilentHeartbeats * std::stol(event.data));
    }
    if (id && !last_) {
      last_ = id;  // where a new stream starts: the point to come back to
    } else if (id && last_->run != id->run) {
      resyncDue_ = true;
      stream.endWith(End::Resync, "the device started afresh");
    }
  } else if (event.type == Contract::kResyncEvent) {
    resyncDue_ = true;
    stream.endWith(End::Resync, "the device cannot replay the reports after " + (last_ ? last_->text() : "none"));
  } else if (event.type == "message" && (!id || placeReport(stream, *id))) {
    stream.delivered = true;
    atOnceUsed_ = false;
    deliver(event.data);
  }
}

// Whether the report with `id` is the next to deliver; ends the stream when
// the ones before it must be asked for first.
bool ReportRelay::placeReport(Stream& stream, const Contract::ReportId& id) {
  const bool first = std::exchange(stream.firstReport, false);
  if (last_ && last_->run != id.run) {
    resyncDue_ = true;
    stream.endWith(End::Resync, "the device started afresh (report " + id.text() + ")");
    return false;
  }
  if (last_ && id.seq <= last_->seq) {
    ++duplicates_;
    tell(Notice::Duplicate, "dropped report " + id.text() + ": already delivered");
    return false;
  }
  if (last_ && id.seq > last_->seq + 1) {
    const std::string missing = reports(id.seq - last_->seq - 1) + " after " + last_->text();
    if (!first || stream.resumedFrom != last_->seq) {
      stream.endWith(End::Gap, missing + " missing: asking for them again");
      return false;
    }
    lost_ += id.seq - last_->seq - 1;
    tell(Notice::Gap, missing + " lost: the device did not replay them");
  }
  last_ = id;
  return true;
}

void ReportRelay::deliver(const std::string& text) {
  AutoReport::LCDAutoReportData report;
  std::string error;
  if (!ProtoModel::decode(text, report, error)) {
    ++undecodable_;
    return;
  }
  runtime_.sendEvent(report.tl.CommandCode, text.c_str(), static_cast<int>(text.size() + 1));
  ++delivered_;
}

void ReportRelay::tell(Notice notice, const std::string& text) const {
  if (options_.observer) {
    options_.observer(notice, text);
  }
}

void ReportRelay::pause(std::chrono::milliseconds delay) {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait_for(lock, delay, [this] { return transfers_.stopped(); });
}

// The blank line that ends the head: the stream is open when the answer is 200.
std::size_t ReportRelay::onHeader(char* data, std::size_t size, std::size_t count, void* target) noexcept {
  auto& stream = *static_cast<Stream*>(target);
  const std::string_view line(data, size * count);
  long status = 0;
  if ((line == "\r\n" || line == "\n") && curl_easy_getinfo(stream.curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
      status == kHttpOk) {
    stream.opened = true;
    stream.lastHeard = Clock::now();
    ++stream.relay.opened_;
    try {
      stream.relay.tell(Notice::Opened, stream.resumedFrom
                                            ? "report stream open again, resuming after " + stream.relay.last_->text()
                                            : std::string("report stream open"));
    } catch (...) {
      return 0;
    }
  }
  return size * count;
}

// Nothing may unwind through libcurl: a short count ends the stream instead.
// A refusal's body is not an event stream: the status says all.
std::size_t ReportRelay::onData(char* data, std::size_t size, std::size_t count, void* target) noexcept {
  auto& stream = *static_cast<Stream*>(target);
  const std::size_t bytes = size * count;
  if (!stream.opened) {
    return 0;
  }
  stream.lastHeard = Clock::now();
  try {
    if (!stream.parser.feed(data, bytes)) {
      stream.endWith(End::Dropped, "the report stream sent an event over " + std::to_string(kLongestReport) + " bytes");
    }
  } catch (...) {
    stream.endWith(End::Dropped, "out of memory");
  }
  stream.lastHeard = Clock::now();  // a delivery that waited for its subscriber is no silence
  return stream.end == End::Running ? bytes : 0;
}

}  // namespace LCD::Relay
