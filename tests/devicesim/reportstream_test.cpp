#include <gtest/gtest.h>
#include <httplib.h>

#include <future>

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

// An event as "TYPE SEQ-OF-ID SEQ-OF-DATA", or a report as "report SEQ CODE DETAIL" (the layer ids of a cutout
// report, the body of another).
std::string describe(const LCD::Relay::StreamEvent& event) {
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

// The first `count` events of a report stream after `lastEventId`, then "end" if it ends first (or "hang" if it
// goes on without them for 20 s); `onEvent` runs after each with the number read so far.
std::vector<std::string> readStream(DeviceSimulator& device, const std::string& lastEventId, std::size_t count,
                                    const std::function<void(std::size_t read)>& onEvent) {
  Client client(device);
  httplib::Headers headers{{"Authorization", client.token}};
  if (!lastEventId.empty()) headers.emplace(Stream::kLastEventIdHeader, lastEventId);
  std::vector<std::string> events;
  LCD::Relay::EventStreamParser parser(1 << 20, [&](const LCD::Relay::StreamEvent& event) {
    if (events.size() == count) return;
    events.push_back(describe(event));
    onEvent(events.size());
  });
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // A connection of its own: on the login's, a stream the device ends would be asked for again.
  httplib::Client stream("127.0.0.1", device.port());
  stream.Get(Stream::kPath, headers, [&](const char* data, std::size_t size) {
    return parser.feed(data, size) && events.size() < count && std::chrono::steady_clock::now() < guard;
  });
  if (events.size() < count) events.push_back(std::chrono::steady_clock::now() < guard ? "end" : "hang");
  return events;
}

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
  const std::vector<std::string> events =
      readStream(device, after, GetParam().events.size(), [&device](std::size_t read) {
        if (read == 1) device.publishReport(Stream::kCursorReportCode, 0);
      });
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
  auto stalled = std::async(std::launch::async, [&device, &opened, resume] {
    return readStream(device, "", 1000, [&opened, resume](std::size_t read) {
      if (read == 1) opened.set_value(), resume.wait();
    });
  });
  opened.get_future().wait();
  // Another subscriber publishes the next report, the first 80 of 200 kB, whenever one arrives.
  const std::vector<std::string> other = readStream(device, "", 101, [&device](std::size_t read) {
    if (read <= 100) device.publishReport(Stream::kCursorReportCode, std::string(read <= 80 ? 200000 : 10, 'x'));
  });
  caughtUp.set_value();
  const std::vector<std::string> late = stalled.get();
  EXPECT_EQ(other.back().rfind("report 100 ", 0), 0u);
  EXPECT_EQ(late.back(), "end");
  EXPECT_LT(late.size(), 102u);
  for (std::size_t seq = 1; seq + 1 < late.size(); ++seq) {
    EXPECT_EQ(late[seq].rfind("report " + std::to_string(seq) + " ", 0), 0u) << late[seq];
  }
}

}  // namespace
