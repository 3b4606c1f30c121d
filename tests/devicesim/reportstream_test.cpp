#include "devicesim/reportstream.h"
#include "devicesim/devicesimulator.h"
#include "devicesim/reportstreamcontract.h"
#include "proto/constants.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

namespace {

using nlohmann::json;

// A subscriber on a socket of its own that reads only when asked, so that it can fall behind.
class RawSubscriber {
 public:
  RawSubscriber(int port, const std::string& token, int receiveBuffer = 0)
      : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    const timeval patience{5, 0};
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (receiveBuffer > 0) setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const std::string request = std::string("GET ") + LCD::DeviceSim::kReportStreamPath +
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

class ReportStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    client.Post(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json");
    token = simulator.currentToken();
  }

  LCD::DeviceSim::DeviceSimulator simulator{[] {
    LCD::DeviceSim::SimulatorOptions options;
    options.serialNumber = "SN";
    options.reportQueueLimit = 4;
    return options;
  }()};
  httplib::Client client{"127.0.0.1", simulator.port()};
  std::string token;
};

TEST_F(ReportStreamTest, ReportsWhatEachRequestChanged) {
  RawSubscriber subscriber(simulator.port(), token);
  ASSERT_TRUE(subscriber.accepted());
  std::uint32_t seq = 0;
  for (const json& c : json::parse(std::ifstream(LCD_DEVICESIM_REPORTS))) {
    client.Put(c["path"].get<std::string>(), {{"Authorization", token}}, c["body"].dump(), "application/json");
    simulator.publishReport(0, nullptr);  // a marker: the request's reports come before it
    seq += static_cast<std::uint32_t>(c["reports"].size()) + 1;
    std::vector<json> reports = subscriber.reportsUpTo(seq);
    ASSERT_TRUE(!reports.empty() && reports.back()["seq"] == seq) << c["why"];
    reports.pop_back();
    for (json& report : reports) report.erase("seq");
    EXPECT_EQ(json(reports), c["reports"]) << c["why"];
  }
}

TEST_F(ReportStreamTest, EverySubscriberGetsEveryReportUnlessItFallsBehind) {
  EXPECT_FALSE(RawSubscriber(simulator.port(), token + "x").accepted());
  RawSubscriber first(simulator.port(), token);
  RawSubscriber second(simulator.port(), token);
  RawSubscriber stalled(simulator.port(), token, 4096);
  ASSERT_TRUE(first.accepted() && second.accepted() && stalled.accepted());

  // Large ones, far more than the stalled one's socket buffers hold (2 MB here), then small ones past its
  // queue, soon enough for its blocked connection to outlast the simulator's write time-out.
  constexpr std::uint32_t kReports = 100;
  for (std::uint32_t seq = 1; seq <= kReports; ++seq) {
    simulator.publishReport(LCD::DeviceSim::kCursorReportCode, std::string(seq <= 80 ? 40000 : 100, 'x'));
    ASSERT_EQ(first.reportsUpTo(seq).size(), 1u) << seq;
    ASSERT_EQ(second.reportsUpTo(seq).size(), 1u) << seq;
  }
  const std::vector<json> late = stalled.reportsUpTo(kReports);
  ASSERT_GE(late.size(), 4u);
  EXPECT_EQ(late.back()["seq"], kReports);
  EXPECT_EQ(late[late.size() - 4]["seq"], kReports - 3);  // the oldest went, the newest four stayed
  EXPECT_LT(late.size(), kReports);
  for (std::size_t i = 1; i < late.size(); ++i) EXPECT_LT(late[i - 1]["seq"], late[i]["seq"]);

  const auto stopping = std::chrono::steady_clock::now();
  simulator.stop();  // the streams waiting for a report end at once
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(500));
}

}  // namespace
