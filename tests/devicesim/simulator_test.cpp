#include "devicesim/devicesimulator.h"
#include "proto/constants.h"
#include "proto/reportstream.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <fstream>
#include <future>

namespace {

using LCD::DeviceSim::FaultKind;
using nlohmann::json;
constexpr const char* kCursor = LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR;

// A socket connected to the simulator, -1 when it cannot connect; reads wait at most 5 s.
int connectTo(int port, int receiveBuffer = 0) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  const timeval patience{5, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  if (receiveBuffer > 0) setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return socket;
  close(socket);
  return -1;
}

// A report subscriber that reads only when asked, so that it can fall behind.
class RawSubscriber {
 public:
  RawSubscriber(int port, const std::string& token, int receiveBuffer = 0) : socket_(connectTo(port, receiveBuffer)) {
    const std::string request = std::string("GET ") + LCD::Proto::ReportStream::kPath +
                                " HTTP/1.1\r\nHost: device\r\nAuthorization: " + token + "\r\n\r\n";
    send(socket_, request.data(), request.size(), MSG_NOSIGNAL);
    while (received_.find("\r\n\r\n") == std::string::npos && receive()) continue;
  }
  ~RawSubscriber() { close(socket_); }

  bool accepted() const { return received_.rfind("HTTP/1.1 200", 0) == 0; }

  // The reports that arrive until the one numbered `seq`, for at most 5 s.
  std::vector<json> reportsUpTo(std::uint32_t seq) {
    std::vector<json> reports;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((reports.empty() || reports.back()["seq"] != seq) && std::chrono::steady_clock::now() < deadline) {
      const std::size_t start = received_.find("data: ");
      const std::size_t end = received_.find("\n\n", start);
      if (end != std::string::npos) {
        reports.push_back(json::parse(received_.substr(start + 6, end - start - 6)));
        received_.erase(0, end + 2);
      } else if (!receive()) {
        break;
      }
    }
    return reports;
  }

 private:
  bool receive() {
    char bytes[4096];
    const ssize_t count = recv(socket_, bytes, sizeof bytes, 0);
    received_.append(bytes, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    return count > 0;
  }

  int socket_;
  std::string received_;
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

// The device's decisions, one exchange per case: refusals with their reasons, the colour bars, the
// assessment, and replies spoiled by a fault (a one-shot one spoils one reply, a sticky one until cleared).
TEST_F(SimulatorTest, AnswersEachRequestAsTheDeviceDecides) {
  const json table = json::parse(std::ifstream(LCD_DEVICESIM_EXCHANGES));
  const std::vector<std::string> kinds = table["kinds"];  // in the order of FaultKind
  for (const json& c : table["cases"]) {
    token = c.value("token", "<token>");
    if (const auto at = token.find("<token>"); at != std::string::npos) token.replace(at, 7, valid);
    json body = c.value("body", json::array());
    for (const json& edits : c.value("layers", json::array())) {  // the standard layer, edited
      body.push_back(table["layer"]);
      for (const auto& [pointer, value] : edits.items()) body.back()[json::json_pointer(pointer)] = value;
    }
    if (const json f = c.value("fault", json()); !f.is_null()) {
      const auto kind = static_cast<FaultKind>(std::find(kinds.begin(), kinds.end(), f["kind"]) - kinds.begin());
      simulator.injectFault(c["path"], {kind, f.value("sticky", false), std::chrono::milliseconds(f.value("delay", 0)),
                                        f.value("padding", std::size_t{0}), f.value("body", "")});
    }
    const auto [status, reply] = send(c["path"], body, c.value("method", "PUT").c_str());
    EXPECT_EQ(status, c["status"]) << c["why"];
    EXPECT_EQ(c["reply"].is_string() ? json(reply) : json::parse(reply, nullptr, false), c["reply"]) << c["why"];
    if (c.value("clear", false)) simulator.clearFaults();
  }
}

TEST_F(SimulatorTest, IdleConnectionsHoldNeitherANewClientNorStopNorThePort) {
  LCD::DeviceSim::SimulatorOptions options;
  options.port = simulator.port();
  EXPECT_THROW(LCD::DeviceSim::DeviceSimulator{options}, std::runtime_error);
  std::vector<int> idle(64);  // more than any fixed pool of workers would have
  for (int& socket : idle) ASSERT_GE(socket = connectTo(simulator.port()), 0);
  client.set_read_timeout(std::chrono::seconds(1));  // a pool would answer when the idle ones time out
  EXPECT_EQ(send(kCursor).first, 401);
  RawSubscriber stream(simulator.port(), valid);  // a stream waiting for a report must end at once too

  simulator.injectFault(kCursor, {FaultKind::SlowReply, false, std::chrono::seconds(30)});
  auto busy = std::async(std::launch::async, [this] { return send(kCursor); });
  while (simulator.requests().size() < 4) std::this_thread::yield();
  const auto start = std::chrono::steady_clock::now();
  simulator.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));  // idle ones end after 1 s
  for (int socket : idle) close(socket);
}

}  // namespace
