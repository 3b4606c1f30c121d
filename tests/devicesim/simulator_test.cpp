#include "devicesim/devicesimulator.h"
#include "proto/constants.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <fstream>
#include <future>

namespace {

using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;
using nlohmann::json;
constexpr const char* kLogin = LCD::Proto::Constants::POSTLOGIN;
constexpr const char* kCursor = LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR;

class SimulatorTest : public ::testing::Test {
 protected:
  // The status and body of the reply; 0 and "" when there is none.
  std::pair<int, std::string> send(const char* path, const json& body = "{}", const char* method = "PUT") {
    httplib::Request request;
    request.method = method;
    request.path = path;
    request.headers = {{"Authorization", token}};  // an empty one must still reach the device
    request.body = body.is_string() ? body.get<std::string>() : body.dump();
    const httplib::Result reply = client.send(request);
    return reply ? std::pair(reply->status, reply->body) : std::pair(0, std::string());
  }

  LCD::DeviceSim::DeviceSimulator simulator;
  httplib::Client client{"127.0.0.1", simulator.port()};
  std::string token;
};

// The device's decisions, one exchange per case: refusals with their reasons,
// the colour bars, the assessment.
TEST_F(SimulatorTest, AnswersEachRequestAsTheDeviceDecides) {
  const json table = json::parse(std::ifstream(LCD_DEVICESIM_EXCHANGES));
  const std::string valid =
      json::parse(send(kLogin, R"({"username":"admin","password":"admin"})", "POST").second)["data"]["token"];
  for (const json& c : table["cases"]) {
    token = c.value("token", "<token>");
    if (const auto at = token.find("<token>"); at != std::string::npos) token.replace(at, 7, valid);
    json body = c.value("body", json::array());
    for (const json& edits : c.value("layers", json::array())) {  // the standard layer, edited
      body.push_back(table["layer"]);
      for (const auto& [pointer, value] : edits.items()) body.back()[json::json_pointer(pointer)] = value;
    }
    const auto [status, reply] = send(c["path"].get<std::string>().c_str(), body, c.value("method", "PUT").c_str());
    EXPECT_EQ(status, c["status"]) << c["why"];
    EXPECT_EQ(json::parse(reply, nullptr, false), c["reply"]) << c["why"];
  }
  EXPECT_EQ(simulator.layerCutout(1), std::nullopt);  // no refused list changed a layer
}

TEST_F(SimulatorTest, EachFaultSpoilsTheReplyAsItSays) {
  const std::string normal = R"({"code":5,"message":"unauthorized: missing or stale token"})";
  const std::string fixed("{\"code\":7}\0tail", 15);
  const std::tuple<Fault, int, std::string> cases[] = {
      {{FaultKind::HttpError}, 500, R"({"code":7,"message":"internal error"})"},
      {{FaultKind::ErrorPage}, 500, "<html><body>500 Internal Server Error</body></html>"},
      {{FaultKind::EmptyBody}, 200, ""},
      {{FaultKind::GarbageBody}, 200, "<html><body>502 Bad Gateway</body></html>"},
      {{FaultKind::MissingCode}, 401, R"({"message":"unauthorized: missing or stale token"})"},
      {{FaultKind::TruncatedBody}, 401, normal.substr(0, normal.size() / 2)},
      {{FaultKind::LargeBody, false, {}, 3}, 401, R"({"code":5,"message":"unauthorized: missing or stale tokenxxx"})"},
      {{FaultKind::SlowReply, false, std::chrono::milliseconds(10)}, 401, normal},
      {{FaultKind::FixedBody, true, {}, 0, fixed}, 200, fixed},
      {{FaultKind::DropConnection}, 0, ""},
      {{FaultKind::DropMidReply}, 0, ""}};
  for (const auto& [fault, status, body] : cases) {
    simulator.injectFault(kCursor, fault);
    for (int left = fault.sticky ? 2 : 1; left > 0; --left) {  // a sticky fault lasts until cleared
      EXPECT_EQ(send(kCursor), std::pair(status, body)) << static_cast<int>(fault.kind);
    }
    simulator.clearFaults();
    EXPECT_EQ(send(kCursor), std::pair(401, normal));
  }
}

TEST_F(SimulatorTest, IdleConnectionsNeitherHoldBackANewClientNorDelayStop) {
  std::vector<int> idle(64);  // more than any fixed pool of workers would have
  for (int& socket : idle) {
    socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(simulator.port())), {htonl(INADDR_LOOPBACK)}, {}};
    ASSERT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  client.set_read_timeout(std::chrono::seconds(1));  // a pool would answer when the idle ones time out
  EXPECT_EQ(send(kCursor).first, 401);

  simulator.injectFault(kCursor, Fault{FaultKind::SlowReply, false, std::chrono::seconds(30)});
  auto busy = std::async(std::launch::async, [this] { return send(kCursor); });
  while (simulator.requests().size() < 2) std::this_thread::yield();
  const auto start = std::chrono::steady_clock::now();
  simulator.stop();
  const std::chrono::duration<double, std::milli> stopping = std::chrono::steady_clock::now() - start;
  EXPECT_LT(stopping.count(), 500);  // the idle ones would end at their keep-alive time-out, 1 s
  busy.wait();
  for (int socket : idle) close(socket);
}

TEST_F(SimulatorTest, BusyPortIsReported) {
  LCD::DeviceSim::SimulatorOptions options;
  options.port = simulator.port();
  EXPECT_THROW(LCD::DeviceSim::DeviceSimulator{options}, std::runtime_error);
}

}  // namespace
