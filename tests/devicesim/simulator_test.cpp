#include "devicesim/devicesimulator.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/reportstream.h"
#include "proto/response.h"
#include "reportrelay/eventstreamparser.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <future>
#include <optional>

namespace {

using LCD::DeviceSim::DeviceSimulator;
using LCD::DeviceSim::FaultKind;
using nlohmann::json;
namespace C = LCD::Proto::Constants;
namespace Stream = LCD::Proto::ReportStream;
constexpr const char* kCursor = C::PUTLAYERSCUTOUTCURSOR;
constexpr const char* kCutout = C::PUTLAYERSCUTOUT;

// A socket connected to the simulator, -1 when it cannot connect; reads wait at most 30 s.
int connectTo(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  const timeval patience{30, 0};  // a hang guard
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return socket;
  close(socket);
  return -1;
}

// A client of the simulator that logged in; it sends `token`, the valid one at first.
struct Client {
  explicit Client(DeviceSimulator& device) : http("127.0.0.1", device.port()) {
    token = valid =
        json::parse(send(C::POSTLOGIN, R"({"username":"admin","password":"admin"})", "POST").second)["data"]["token"];
  }
  // The status and body of the reply; 0 and "" when there is none.
  std::pair<int, std::string> send(const std::string& path, const json& body = "{}", const char* method = "PUT") {
    httplib::Request request;
    request.method = method;
    request.path = path;
    request.headers = {{"Authorization", token}};  // an empty one must still reach the device
    request.body = body.is_string() ? body.get<std::string>() : body.dump();
    const httplib::Result reply = http.send(request);
    return reply ? std::pair(reply->status, reply->body) : std::pair(0, std::string());
  }
  httplib::Client http;
  std::string token, valid;
};

// The simulator's options, changed from the defaults by `change`.
LCD::DeviceSim::SimulatorOptions with(const std::function<void(LCD::DeviceSim::SimulatorOptions&)>& change) {
  LCD::DeviceSim::SimulatorOptions options;
  change(options);
  return options;
}

// A simulator that keeps four reports for returning subscribers, and a client of it.
class SimulatorTest : public ::testing::Test {
 protected:
  DeviceSimulator simulator{with([](auto& options) { options.reportQueueLimit = 4; })};
  Client client{simulator};
};

// Layer cutouts as the device takes them, layer 1 at the codec's defaults, each changed by its JSON pointer
// edits: `edits` is an array of edit objects.
std::string layers(const char* edits) {
  std::string defaults;
  LCD::ProtoModel::encode(defaults, std::vector<LCD::ProtoModel::Layer::s_LayerCutout>(1));
  json body = json::array();
  for (const json& edit : json::parse(edits)) {
    body.push_back({{"layerId", 1}, {"cutout", json::parse(defaults)[0]["cutout"]}});
    for (const auto& [pointer, value] : edit.items()) body.back()[json::json_pointer(pointer)] = value;
  }
  return body.dump();
}

std::string cursorAt(int layer, int x, int y) {
  return json{{"layerId", layer}, {"cursor", {{"enable", 1}, {"pos", {{"x", x}, {"y", y}}}}}}.dump();
}

// A request ("@" in the token stands for a valid one), the reply's status and a part of its body; with
// a fault injected into the reply, all of its body.
struct Exchange {
  std::string name, method, path, token, body;
  int status;
  std::string reply;
  std::optional<FaultKind> fault = {};
};

const std::string kRefusal = R"({"code":5,"message":"unauthorized: missing or stale token"})";
const std::string kFixed("{\"code\":7}\0tail", 15);

std::vector<Exchange> exchanges() {
  const std::string cutout = kCutout, color = kCursor, assess = C::TAVROPROTOPUTASSESSLAYERCUTOUT, login = C::POSTLOGIN;
  return {
      {"WrongPassword", "POST", login, "", R"({"username":"admin","password":"nope"})", 401, R"({"code":4,)"},
      {"LoginWithoutPassword", "POST", login, "", R"({"username":"admin"})", 400, R"({"code":2,)"},
      {"NoToken", "PUT", cutout, "", "[]", 401, R"({"code":5,)"},
      {"TokenWithPrefix", "PUT", color, "Bearer @", "{}", 401, R"({"code":5,)"},
      {"TokenWithSuffix", "PUT", assess, "@x", "[]", 401, R"({"code":5,)"},
      {"StateForAStaleToken", "GET", cutout, "@x", "", 401, R"({"code":5,)"},
      {"UnknownResource", "DELETE", cutout, "@", "", 404, R"({"code":6,)"},
      {"NotJson", "PUT", cutout, "@", "[{", 400, R"({"code":2,)"},
      {"NotAList", "PUT", cutout, "@", "{}", 400, "expected an array"},
      {"ElementNotAnObject", "PUT", cutout, "@", "[1]", 400, "[0]: expected an object"},
      {"MemberMissing", "PUT", cutout, "@", R"([{"layerId":1}])", 400, "[0].cutout: missing"},
      {"MemberUnknown", "PUT", cutout, "@", layers(R"([{},{"/cutout/hue/highLight":0}])"), 400, "[1].cutout.hue.hi"},
      {"TextForANumber", "PUT", cutout, "@", layers(R"([{"/cutout/brightness/gain":"50"}])"), 400, "gain: expected"},
      {"Fraction", "PUT", assess, "@", layers(R"([{"/cutout/type":1.5}])"), 400, "type: expected a 32"},
      {"Beyond32Bits", "PUT", cutout, "@", layers(R"([{"/layerId":2147483648}])"), 400, "layerId: expected a 32"},
      {"CursorWithoutPosition", "PUT", color, "@", R"({"layerId":1,"cursor":{"enable":1}})", 400, "cursor.pos: mis"},
      {"UnknownLayerRefusesTheList", "PUT", cutout, "@", layers(R"([{},{"/layerId":17}])"), 200, "unknown layer 17"},
      {"CursorOnUnknownLayer", "PUT", color, "@", cursorAt(0, 0, 0), 200, "unknown layer 0"},
      {"LeftOfTheCanvas", "PUT", color, "@", cursorAt(3, -1, 0), 200, R"({"code":3,)"},
      {"RightOfTheCanvas", "PUT", color, "@", cursorAt(3, 1920, 0), 200, R"({"code":3,)"},
      {"AboveTheCanvas", "PUT", color, "@", cursorAt(3, 0, -1), 200, R"({"code":3,)"},
      {"BelowTheCanvas", "PUT", color, "@", cursorAt(3, 0, 1080), 200, R"({"code":3,)"},
      {"AssessmentOfNothing", "PUT", assess, "@", "[]", 200, R"({"code":0,"data":[],"message":""})"},
      {"AssessEnable2", "PUT", assess, "@", layers(R"([{"/cutout/enable":2}])"), 200, "\"state\":1"},
      {"AssessGain100", "PUT", assess, "@", layers(R"([{"/cutout/brightness/gain":100}])"), 200, "\"state\":0"},
      {"AssessGain101", "PUT", assess, "@", layers(R"([{"/cutout/brightness/gain":101}])"), 200, "\"state\":1"},
      {"AssessInOrder", "PUT", assess, "@", layers(R"([{"/layerId":9},{"/layerId":7}])"), 200, ":9,\"state\":0},{"},
      {"HttpError", "PUT", color, "", "{}", 500, R"({"code":7,"message":"internal error"})", FaultKind::HttpError},
      {"ErrorPage", "PUT", color, "", "{}", 500, "<html><body>500 Internal Server Error</body></html>",
       FaultKind::ErrorPage},
      {"EmptyBody", "PUT", color, "", "{}", 200, "", FaultKind::EmptyBody},
      {"GarbageBody", "PUT", color, "", "{}", 200, "<html><body>502 Bad Gateway</body></html>", FaultKind::GarbageBody},
      {"MissingCode", "PUT", color, "", "{}", 401, R"({"message":"unauthorized: missing or stale token"})",
       FaultKind::MissingCode},
      {"TruncatedBody", "PUT", color, "", "{}", 401, R"({"code":5,"message":"unauthor)", FaultKind::TruncatedBody},
      {"LargeBody", "PUT", color, "", "{}", 401, R"({"code":5,"message":"unauthorized: missing or stale tokenxxx"})",
       FaultKind::LargeBody},
      {"SlowReply", "PUT", color, "", "{}", 401, kRefusal, FaultKind::SlowReply},
      {"DropConnection", "PUT", color, "", "{}", 0, "", FaultKind::DropConnection},
      {"DropMidReply", "PUT", color, "", "{}", 0, "", FaultKind::DropMidReply},
      {"FixedBody", "PUT", color, "", "{}", 200, kFixed, FaultKind::FixedBody},
      {"LastColumnOfTheFirstBar", "PUT", color, "@", cursorAt(3, 239, 0), 200,
       R"({"color":{"B":255,"G":255,"R":255},"enable":1,"pos":{"x":239,"y":0}})"},
      {"FirstColumnOfTheSecondBar", "PUT", color, "@", cursorAt(3, 240, 0), 200,
       R"({"color":{"B":0,"G":255,"R":255},"enable":1,"pos":{"x":240,"y":0}})"},
      {"LastColumnOfTheLastBar", "PUT", color, "@", cursorAt(3, 1919, 1079), 200,
       R"({"color":{"B":0,"G":0,"R":0},"enable":1,"pos":{"x":1919,"y":1079}})"}};
}

void PrintTo(const Exchange& exchange, std::ostream* out) { *out << exchange.name; }

class ExchangeTest : public SimulatorTest, public testing::WithParamInterface<Exchange> {};

// The device's decisions: refusals with their reasons, the colour bars, the assessment; and replies
// spoilt by each fault.
TEST_P(ExchangeTest, AnswersAsTheDeviceDecides) {
  const Exchange& c = GetParam();
  client.token = c.token;
  if (const auto at = c.token.find('@'); at != std::string::npos) client.token.replace(at, 1, client.valid);
  if (c.fault) {
    LCD::DeviceSim::Fault fault{*c.fault};
    fault.padding = 3;
    fault.body = kFixed;
    simulator.injectFault(c.path, fault);
  }
  const auto [status, reply] = client.send(c.path, c.body, c.method.c_str());
  EXPECT_EQ(status, c.status);
  EXPECT_TRUE(c.fault ? reply == c.reply : reply.find(c.reply) != std::string::npos) << reply;
}
INSTANTIATE_TEST_SUITE_P(Device, ExchangeTest, testing::ValuesIn(exchanges()),
                         [](const auto& info) { return info.param.name; });

// A one-shot fault spoils one reply; a sticky one every reply until cleared.
TEST_F(SimulatorTest, FaultsLastAsLongAsTheySay) {
  const std::pair<int, std::string> normal{401, kRefusal}, spoilt{200, "{}"};
  client.token.clear();
  simulator.injectFault(kCursor, {FaultKind::FixedBody, false, {}, 0, "{}"});
  EXPECT_EQ(client.send(kCursor), spoilt);
  EXPECT_EQ(client.send(kCursor), normal);
  simulator.injectFault(kCursor, {FaultKind::FixedBody, true, {}, 0, "{}"});
  EXPECT_EQ(client.send(kCursor), spoilt);
  EXPECT_EQ(client.send(kCursor), spoilt);
  simulator.clearFaults();
  EXPECT_EQ(client.send(kCursor), normal);
}

// Whether `condition` holds before a hang guard of 30 s.
bool eventually(const std::function<bool()>& condition) {
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition() && std::chrono::steady_clock::now() < guard)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return condition();
}

// Whether the peer ends the connection, after whatever it still sends; each read waits up to connectTo's guard.
bool endedByPeer(int socket) {
  char bytes[4096];
  ssize_t count = 0;
  while ((count = recv(socket, bytes, sizeof bytes, 0)) > 0) continue;
  return count == 0;
}

// Stop ends what it accepted, a stream and a 30 s reply included, and frees the port, which it never shared.
TEST_F(SimulatorTest, StopEndsEveryConnectionAndFreesThePort) {
  const auto options = with([this](auto& o) { o.port = simulator.port(); });
  EXPECT_THROW(LCD::DeviceSim::DeviceSimulator{options}, std::runtime_error);
  std::vector<int> open(9);  // idle ones and a report stream
  for (int& socket : open) ASSERT_GE(socket = connectTo(simulator.port()), 0);
  const std::string subscribe =
      std::string("GET ") + Stream::kPath + " HTTP/1.1\r\nAuthorization: " + client.valid + "\r\n\r\n";
  ::send(open.back(), subscribe.data(), subscribe.size(), MSG_NOSIGNAL);
  simulator.injectFault(kCursor, {FaultKind::SlowReply, false, std::chrono::seconds(30)});
  auto busy = std::async(std::launch::async, [this] { return client.send(kCursor); });
  ASSERT_TRUE(eventually([this] { return simulator.requests().size() == 3; }));  // login, stream, cursor

  auto stopped = std::async(std::launch::async, [this] { simulator.stop(); });
  ASSERT_EQ(stopped.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  for (int socket : open) EXPECT_TRUE(endedByPeer(socket));
  busy.get();
  EXPECT_NO_THROW(LCD::DeviceSim::DeviceSimulator{options});
  for (int socket : open) close(socket);
}

// With its limit of connections open, the simulator serves a newcomer only once one of them has ended.
TEST(ConnectionLimit, NewcomerWaitsForAConnectionToEnd) {
  DeviceSimulator limited(with([](auto& options) { options.maxConnections = 2; }));
  const int idle[] = {connectTo(limited.port()), connectTo(limited.port())};
  httplib::Client newcomer("127.0.0.1", limited.port());
  newcomer.set_read_timeout(std::chrono::seconds(30));
  const httplib::Result reply = newcomer.Put(kCursor, "{}", "application/json");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 401);
  char byte;
  EXPECT_TRUE(recv(idle[0], &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0 ||
              recv(idle[1], &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0);
  for (int socket : idle) close(socket);
}

// An event as "TYPE SEQ-OF-ID SEQ-OF-DATA", or a report as "report SEQ CODE BODY".
std::string describe(const LCD::Relay::StreamEvent& event) {
  const auto seq = [](const std::string& id) { return id.substr(id.rfind('-') + 1); };
  if (event.type != "message") return event.type + " " + seq(event.id) + " " + seq(event.data);
  const json report = json::parse(event.data);
  return "report " + report["seq"].dump() + " " + report["tl"]["CommandCode"].dump() + " " +
         report["body"].get<std::string>();
}

// The first `count` events of a report stream after `lastEventId`, then "end" if it ends first (or "hang" if it
// goes on without them for 60 s); `onEvent` runs after each with the number read so far.
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
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
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
  const std::string id = json::parse(Client(device).send(kCutout, nullptr, "GET").second)["reportId"];
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

class ReturningSubscriber : public SimulatorTest, public ::testing::WithParamInterface<Return> {};

TEST_P(ReturningSubscriber, GetsWhatFollowsItsLastReportOrIsToldToResync) {
  for (int seq = 1; seq <= GetParam().published; ++seq) simulator.publishReport(Stream::kCursorReportCode, seq);
  std::string after = GetParam().after;
  if (after.rfind("RUN-", 0) == 0) after.replace(0, 3, runOf(simulator));
  const std::vector<std::string> events =
      readStream(simulator, after, GetParam().events.size(), [this](std::size_t read) {
        if (read == 1) simulator.publishReport(Stream::kCursorReportCode, 0);
      });
  EXPECT_EQ(events, GetParam().events);
}

const Return kReturns[] = {
    {"New", 2, "", {"heartbeat 2 1000", "report 3 528657 0"}},
    {"FromTheWindowsStart",
     5,
     "RUN-1",
     {"heartbeat  1000", "report 2 528657 2", "report 3 528657 3", "report 4 528657 4", "report 5 528657 5"}},
    {"AtTheLatest", 5, "RUN-5", {"heartbeat  1000", "report 6 528657 0"}},
    {"BeforeTheWindow", 5, "RUN-0", {"resync  5", "end"}},
    {"AheadOfTheDevice", 1, "RUN-2", {"resync  1", "end"}},
    {"FromAnotherRun", 1, "0123456789abcdef-1", {"resync  1", "end"}},
};
INSTANTIATE_TEST_SUITE_P(Window, ReturningSubscriber, ::testing::ValuesIn(kReturns),
                         [](const auto& info) { return std::string(info.param.name); });

// Every layer, set or at its defaults, and the id of the report that includes the last change.
TEST(DeviceState, HoldsEveryLayerAndItsLastReport) {
  DeviceSimulator device(with([](auto& options) { options.layers = {1, 2}; }));
  Client client(device);
  client.send(kCutout, layers(R"([{"/layerId":2,"/cutout/enable":1}])"));
  EXPECT_EQ(client.send(kCutout, nullptr, "GET").second,
            json({{"code", 0},
                  {"message", ""},
                  {"data", json::parse(layers(R"([{},{"/layerId":2,"/cutout/enable":1}])"))},
                  {"reportId", runOf(device) + "-1"}})
                .dump());
}

// A subscriber that stops reading while the device goes on gets no report out of order and none twice: its
// stream ends once the window has moved past it, and nobody else waits for it.
TEST_F(SimulatorTest, SlowSubscriberLosesItsStreamNotItsReports) {
  std::promise<void> opened, caughtUp;
  std::shared_future<void> resume = caughtUp.get_future().share();
  auto stalled = std::async(std::launch::async, [this, &opened, resume] {
    return readStream(simulator, "", 1000, [&opened, resume](std::size_t read) {
      if (read == 1) opened.set_value(), resume.wait();
    });
  });
  opened.get_future().wait();
  // Another subscriber publishes the next report, the first 80 of 200 kB, whenever one arrives.
  const std::vector<std::string> other = readStream(simulator, "", 101, [this](std::size_t read) {
    if (read <= 100) simulator.publishReport(Stream::kCursorReportCode, std::string(read <= 80 ? 200000 : 10, 'x'));
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
