#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "devicesim/devicesimulator.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/reportstream.h"
#include "proto/response.h"
#include "reportrelay/eventstreamparser.h"

namespace {

namespace Stream = LCD::Proto::ReportStream;
namespace Constants = LCD::Proto::Constants;
using LCD::DeviceSim::DeviceSimulator;
using nlohmann::json;
constexpr std::size_t kWindow = 4;

LCD::DeviceSim::SimulatorOptions withWindow() {
  LCD::DeviceSim::SimulatorOptions options;
  options.reportQueueLimit = kWindow;
  return options;
}

// A layer cutout as the device takes it: the defaults with `edits` merged in.
json layer(int layerId, const char* edits = "{}") {
  std::string defaults;
  LCD::ProtoModel::encode(defaults, std::vector<LCD::ProtoModel::Layer::s_LayerCutout>(1));
  json cutout = json::parse(defaults)[0]["cutout"];
  cutout.merge_patch(json::parse(edits));
  return {{"layerId", layerId}, {"cutout", cutout}};
}

// A logged-in client of the simulator.
struct Client {
  explicit Client(DeviceSimulator& device) : http("127.0.0.1", device.port()) {
    token =
        json::parse(http.Post(Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json")
                        ->body)["data"]["token"];
  }
  httplib::Result send(const char* method, const std::string& path, const json& body) {
    httplib::Request request;
    std::tie(request.method, request.path, request.body) = std::tuple(method, path, body.dump());
    request.headers = {{"Authorization", token}};
    return http.send(request);
  }
  httplib::Client http;
  std::string token;
};

// The events of one report stream, read on a thread of its own; `onOpen` runs when the first arrives.
class StreamReader {
 public:
  StreamReader(DeviceSimulator& device, const std::string& lastEventId, std::function<void()> onOpen = nullptr)
      : client_(device), onOpen_(std::move(onOpen)) {
    reading_ = std::thread([this, lastEventId] {
      httplib::Headers headers{{"Authorization", client_.token}};
      if (!lastEventId.empty()) headers.emplace(Stream::kLastEventIdHeader, lastEventId);
      client_.http.Get(Stream::kPath, headers,
                       [this](const char* data, std::size_t size) { return parser_.feed(data, size) && !done_; });
      push(std::nullopt);
    });
  }
  ~StreamReader() {
    done_ = true;
    client_.http.stop();
    reading_.join();
  }

  // The next event ("TYPE ID", or "report SEQ CODE DETAIL"), "end" when the stream ended, "hang" after 20 s.
  std::string next() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::seconds(20), [this] { return !events_.empty(); })) return "hang";
    const std::optional<LCD::Relay::StreamEvent> event = events_.front();
    if (event) events_.pop_front();
    return event ? describe(*event) : "end";
  }

 private:
  static std::string describe(const LCD::Relay::StreamEvent& event) {
    const auto seq = [](const std::string& id) { return id.substr(id.rfind('-') + 1); };
    if (event.type != "message") return event.type + " " + seq(event.id) + " " + seq(event.data);
    const json report = json::parse(event.data);
    std::string detail = report["body"];
    if (report["tl"]["CommandCode"] == Stream::kCutoutReportCode) {
      detail.clear();
      for (const json& layer : json::parse(report["body"].get<std::string>())) detail += layer["layerId"].dump() + ",";
    }
    return "report " + report["seq"].dump() + " " + report["tl"]["CommandCode"].dump() + " " + detail;
  }
  void push(std::optional<LCD::Relay::StreamEvent> event) {
    if (std::exchange(opened_, true) == false && onOpen_) onOpen_();
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
    arrived_.notify_all();
  }

  Client client_;
  std::function<void()> onOpen_;
  bool opened_ = false;
  std::atomic<bool> done_{false};
  LCD::Relay::EventStreamParser parser_{1 << 20, [this](const LCD::Relay::StreamEvent& event) { push(event); }};
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::optional<LCD::Relay::StreamEvent>> events_;
  std::thread reading_;
};

// The device's run, from the id of the last report its state includes.
std::string runOf(DeviceSimulator& device) {
  const std::string id = json::parse(Client(device).send("GET", Constants::PUTLAYERSCUTOUT, nullptr)->body)["reportId"];
  return id.substr(0, id.rfind('-'));
}

// A subscriber that comes back after the report numbered `after` (RUN its run; "other" names another) once
// `published` reports went out, and the events it gets, one more report being published once it is open.
struct Return {
  const char* name;
  int published;
  const char* after;
  std::vector<std::string> events;
};

void PrintTo(const Return& row, std::ostream* out) { *out << row.name; }

class ReturningSubscriber : public ::testing::TestWithParam<Return> {};

TEST_P(ReturningSubscriber, GetsWhatFollowsItsLastReportOrIsToldToResync) {
  DeviceSimulator device(withWindow());
  for (int seq = 1; seq <= GetParam().published; ++seq) device.publishReport(Stream::kCursorReportCode, seq);
  std::string after = GetParam().after;
  if (after.rfind("RUN-", 0) == 0) after.replace(0, 3, runOf(device));
  StreamReader reader(device, after, [&device] { device.publishReport(Stream::kCursorReportCode, 0); });
  std::vector<std::string> events;
  for (std::size_t i = 0; i < GetParam().events.size(); ++i) events.push_back(reader.next());
  EXPECT_EQ(events, GetParam().events);
}

const Return kReturns[] = {
    {"New", 2, "", {"heartbeat 2 1000", "report 3 528657 0"}},
    {"WithinTheWindow", 4, "RUN-1", {"heartbeat  1000", "report 2 528657 2", "report 3 528657 3", "report 4 528657 4"}},
    {"AtTheLatest", 5, "RUN-5", {"heartbeat  1000", "report 6 528657 0"}},
    {"BeforeTheWindow", 5, "RUN-0", {"resync  5", "end"}},
    {"AheadOfTheDevice", 1, "RUN-2", {"resync  1", "end"}},
    {"FromAnotherRun", 1, "0123456789abcdef-1", {"resync  1", "end"}},
};
INSTANTIATE_TEST_SUITE_P(Window, ReturningSubscriber, ::testing::ValuesIn(kReturns),
                         [](const auto& info) { return std::string(info.param.name); });

const char* const kCutout = Constants::PUTLAYERSCUTOUT;

// Every layer, set or at its defaults, and the id of the report that includes the last change.
TEST(DeviceState, HoldsEveryLayerAndItsLastReport) {
  LCD::DeviceSim::SimulatorOptions options;
  options.layers = {1, 2};
  DeviceSimulator device(options);
  Client client(device);
  client.send("PUT", kCutout, json::array({layer(2, R"({"enable":1})")}));
  EXPECT_EQ(client.send("GET", kCutout, nullptr)->body, json({{"code", 0},
                                                              {"message", ""},
                                                              {"data", {layer(1), layer(2, R"({"enable":1})")}},
                                                              {"reportId", runOf(device) + "-1"}})
                                                            .dump());
  client.token += "x";
  EXPECT_EQ(client.send("GET", kCutout, nullptr)->status, 401);
}

// A subscriber that stops reading while the device goes on gets no report out of order and none twice: its
// stream ends once the window has moved past it, and nobody else waits for it.
TEST(SlowSubscriber, LosesItsStreamNotItsReports) {
  DeviceSimulator device(withWindow());
  std::promise<void> opened, caughtUp;
  std::shared_future<void> resume = caughtUp.get_future().share();
  StreamReader stalled(device, "", [&opened, resume] {
    opened.set_value();
    resume.wait();
  });
  std::unique_ptr<std::promise<void>, void (*)(std::promise<void>*)> release(
      &caughtUp, [](std::promise<void>* p) { p->set_value(); });
  opened.get_future().wait();
  StreamReader other(device, "");
  ASSERT_EQ(other.next(), "heartbeat 0 1000");
  for (int seq = 1; seq <= 100; ++seq) {
    device.publishReport(Stream::kCursorReportCode, std::string(seq <= 80 ? 200000 : 10, 'x'));
    ASSERT_EQ(other.next().rfind("report " + std::to_string(seq) + " ", 0), 0u) << seq;
  }
  release.reset();
  EXPECT_EQ(stalled.next(), "heartbeat 0 1000");
  int seq = 0;
  for (std::string event = stalled.next(); event.rfind("report ", 0) == 0; event = stalled.next()) {
    EXPECT_EQ(event.rfind("report " + std::to_string(++seq) + " ", 0), 0u) << event;
  }
  EXPECT_LT(seq, 100);
}

}  // namespace
