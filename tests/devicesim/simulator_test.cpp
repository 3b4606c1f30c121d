#include "devicesim/devicesimulator.h"
#include "proto/constants.h"
#include "proto/reportstream.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <future>
#include <optional>

namespace {

using LCD::DeviceSim::FaultKind;
using nlohmann::json;
constexpr const char* kCursor = LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR;

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

// A report subscriber on a socket of its own, which only waits for the end.
class RawSubscriber {
 public:
  RawSubscriber(int port, const std::string& token) : socket_(connectTo(port)) {
    const std::string request = std::string("GET ") + LCD::Proto::ReportStream::kPath +
                                " HTTP/1.1\r\nHost: device\r\nAuthorization: " + token + "\r\n\r\n";
    send(socket_, request.data(), request.size(), MSG_NOSIGNAL);
  }
  ~RawSubscriber() { close(socket_); }

  // True when the device ends the stream, within connectTo's guard.
  bool endedByDevice() {
    char bytes[4096];
    ssize_t count = 0;
    while ((count = recv(socket_, bytes, sizeof bytes, 0)) > 0) continue;
    return count == 0;
  }

 private:
  int socket_;
};

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    valid = json::parse(send(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "POST")
                            .second)["data"]["token"];
  }

  // The status and body of the reply; 0 and "" when there is none.
  std::pair<int, std::string> send(const std::string& path, const json& body = "{}", const char* method = "PUT") {
    httplib::Request request;
    request.method = method;
    request.path = path;
    request.headers = {{"Authorization", token}};  // an empty one must still reach the device
    request.body = body.is_string() ? body.get<std::string>() : body.dump();
    const httplib::Result reply = client.send(request);
    return reply ? std::pair(reply->status, reply->body) : std::pair(0, std::string());
  }

  LCD::DeviceSim::DeviceSimulator simulator{[] {
    LCD::DeviceSim::SimulatorOptions options;
    options.reportQueueLimit = 4;
    return options;
  }()};
  httplib::Client client{"127.0.0.1", simulator.port()};
  std::string token, valid;
};

namespace C = LCD::Proto::Constants;
constexpr const char* kLayer =
    R"({"layerId":1,"cutout":{"enable":0,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,"gain":50,
    "foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,"B":50},"hueClip":10,
    "hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,"shadow":0,"highLigh":0,"edgeSmooth":0}}})";

// Valid layers, each changed by its JSON pointer edits: `edits` is an array of edit objects.
std::string layers(const char* edits) {
  json body = json::array();
  for (const json& edit : json::parse(edits)) {
    body.push_back(json::parse(kLayer));
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

// The first column of each of the eight colour bars, 240 columns wide.
std::vector<Exchange> colourBars() {
  const json colours =
      json::parse("[[255,255,255],[255,255,0],[0,255,255],[0,255,0],[255,0,255],[255,0,0],[0,0,255],[0,0,0]]");
  std::vector<Exchange> reads;
  for (int bar = 0; bar < 8; ++bar) {
    const json colour{{"B", colours[bar][2]}, {"G", colours[bar][1]}, {"R", colours[bar][0]}};
    reads.push_back({"ColourBar" + std::to_string(bar + 1), "PUT", kCursor, "@", cursorAt(3, bar * 240, 1079), 200,
                     R"({"color":)" + colour.dump() + R"(,"enable":1,"pos":{"x":)" + std::to_string(bar * 240) + ","});
  }
  return reads;
}

std::vector<Exchange> exchanges() {
  const std::string cutout = C::PUTLAYERSCUTOUT, color = kCursor, assess = C::TAVROPROTOPUTASSESSLAYERCUTOUT,
                    login = C::POSTLOGIN;
  std::vector<Exchange> all{
      {"WrongPassword", "POST", login, "", R"({"username":"admin","password":"nope"})", 401, R"({"code":4,)"},
      {"LoginWithoutPassword", "POST", login, "", R"({"username":"admin"})", 400, R"({"code":2,)"},
      {"NoToken", "PUT", cutout, "", "[]", 401, R"({"code":5,)"},
      {"TokenWithPrefix", "PUT", color, "Bearer @", "{}", 401, R"({"code":5,)"},
      {"TokenWithSuffix", "PUT", assess, "@x", "[]", 401, R"({"code":5,)"},
      {"UnknownResource", "DELETE", cutout, "@", "", 404, R"({"code":6,)"},
      {"NotJson", "PUT", cutout, "@", "[{", 400, R"({"code":2,)"},
      {"NotAList", "PUT", cutout, "@", "{}", 400, "expected an array"},
      {"ElementNotAnObject", "PUT", cutout, "@", "[1]", 400, "[0]: expected an object"},
      {"MemberMissing", "PUT", cutout, "@", R"([{"layerId":1}])", 400, "[0].cutout: missing"},
      {"MemberUnknown", "PUT", cutout, "@", layers(R"([{},{"/cutout/hue/highLight":0}])"), 400, "[1].cutout.hue.hi"},
      {"TextForANumber", "PUT", cutout, "@", layers(R"([{"/cutout/brightness/gain":"50"}])"), 400, "gain: expected"},
      {"Fraction", "PUT", assess, "@", layers(R"([{"/cutout/type":1.5}])"), 400, "type: expected a 32"},
      {"Beyond32Bits", "PUT", cutout, "@", layers(R"([{"/layerId":2147483648}])"), 400, "layerId: expected a 32"},
      {"ListForAnObject", "PUT", cutout, "@", layers(R"([{"/cutout/cursor":[]}])"), 400, "cursor: expected an object"},
      {"CursorWithoutPosition", "PUT", color, "@", R"({"layerId":1,"cursor":{"enable":1}})", 400, "cursor.pos: mis"},
      {"UnknownLayerRefusesTheList", "PUT", cutout, "@", layers(R"([{},{"/layerId":17}])"), 200, "unknown layer 17"},
      {"UnknownLayerAssessed", "PUT", assess, "@", layers(R"([{"/layerId":0}])"), 200, "unknown layer 0"},
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
      {"FixedBody", "PUT", color, "", "{}", 200, kFixed, FaultKind::FixedBody}};
  for (Exchange& read : colourBars()) all.push_back(std::move(read));
  return all;
}

void PrintTo(const Exchange& exchange, std::ostream* out) { *out << exchange.name; }

class ExchangeTest : public SimulatorTest, public testing::WithParamInterface<Exchange> {};

// The device's decisions: refusals with their reasons, the colour bars, the assessment; and replies
// spoilt by each fault.
TEST_P(ExchangeTest, AnswersAsTheDeviceDecides) {
  const Exchange& c = GetParam();
  token = c.token;
  if (const auto at = token.find('@'); at != std::string::npos) token.replace(at, 1, valid);
  if (c.fault) {
    LCD::DeviceSim::Fault fault{*c.fault};
    fault.padding = 3;
    fault.body = kFixed;
    simulator.injectFault(c.path, fault);
  }
  const auto [status, reply] = send(c.path, c.body, c.method.c_str());
  EXPECT_EQ(status, c.status);
  EXPECT_TRUE(c.fault ? reply == c.reply : reply.find(c.reply) != std::string::npos) << reply;
}
INSTANTIATE_TEST_SUITE_P(Device, ExchangeTest, testing::ValuesIn(exchanges()),
                         [](const auto& info) { return info.param.name; });

// A one-shot fault spoils one reply; a sticky one every reply until cleared.
TEST_F(SimulatorTest, FaultsLastAsLongAsTheySay) {
  const std::pair<int, std::string> normal{401, kRefusal}, spoilt{200, "{}"};
  simulator.injectFault(kCursor, {FaultKind::FixedBody, false, {}, 0, "{}"});
  EXPECT_EQ(send(kCursor), spoilt);
  EXPECT_EQ(send(kCursor), normal);
  simulator.injectFault(kCursor, {FaultKind::FixedBody, true, {}, 0, "{}"});
  EXPECT_EQ(send(kCursor), spoilt);
  EXPECT_EQ(send(kCursor), spoilt);
  simulator.clearFaults();
  EXPECT_EQ(send(kCursor), normal);
}

// Whether `condition` holds before a hang guard of 30 s.
bool eventually(const std::function<bool()>& condition) {
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition() && std::chrono::steady_clock::now() < guard)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return condition();
}

bool closedByPeer(int socket) {
  char byte;
  return recv(socket, &byte, 1, MSG_PEEK) == 0;  // waits, up to connectTo's guard
}

// Stop ends what it accepted, a stream and a 30 s reply included, and frees the port, which it never shared.
TEST_F(SimulatorTest, StopEndsEveryConnectionAndFreesThePort) {
  LCD::DeviceSim::SimulatorOptions options;
  options.port = simulator.port();
  EXPECT_THROW(LCD::DeviceSim::DeviceSimulator{options}, std::runtime_error);
  std::vector<int> idle(8);
  for (int& socket : idle) ASSERT_GE(socket = connectTo(simulator.port()), 0);
  RawSubscriber stream(simulator.port(), valid);
  simulator.injectFault(kCursor, {FaultKind::SlowReply, false, std::chrono::seconds(30)});
  auto busy = std::async(std::launch::async, [this] { return send(kCursor); });
  ASSERT_TRUE(eventually([this] { return simulator.requests().size() == 3; }));  // login, stream, cursor

  auto stopped = std::async(std::launch::async, [this] { simulator.stop(); });
  ASSERT_EQ(stopped.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  for (int socket : idle) EXPECT_TRUE(closedByPeer(socket));
  EXPECT_TRUE(stream.endedByDevice());
  busy.get();
  EXPECT_NO_THROW(LCD::DeviceSim::DeviceSimulator{options});
  for (int socket : idle) close(socket);
}

// With its limit of connections open, the simulator serves a newcomer only once one of them has ended.
TEST(ConnectionLimit, NewcomerWaitsForAConnectionToEnd) {
  LCD::DeviceSim::SimulatorOptions options;
  options.maxConnections = 2;
  LCD::DeviceSim::DeviceSimulator limited(options);
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

}  // namespace
