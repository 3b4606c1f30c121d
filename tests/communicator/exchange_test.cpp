#include "simulatedevice.h"

#include <cstring>
#include <set>
#include <thread>

namespace {

using ExchangeTest = SimulatedDeviceTest;

std::set<std::string> headerNames(const LCD::DeviceSim::RecordedRequest& request) {
  std::set<std::string> names;
  for (const auto& field : request.headers) {
    names.insert(field.first);
  }
  return names;
}

TEST_F(ExchangeTest, HeadersAndBodyBytesArriveExactlyAsSet) {
  const std::string body("{\"a\":1}\0\xff\r\n tail", 17);
  const Answer answer =
      sendWithHeaders("PUT", "/tavro/v1/probe", body,
                      {{"Content-Type", "application/json"}, {"Authorization", "tok en"}, {"X-Empty", ""}});
  EXPECT_EQ(answer.status, 404);

  const auto sent = simulator.requests().back();
  EXPECT_EQ(sent.method, "PUT");
  EXPECT_EQ(sent.path, "/tavro/v1/probe");
  EXPECT_EQ(sent.body, body);
  EXPECT_EQ(headerNames(sent),
            (std::set<std::string>{"Authorization", "Content-Length", "Content-Type", "Host", "X-Empty"}));
  EXPECT_EQ(sent.header("Authorization"), "tok en");
  EXPECT_EQ(sent.header("Content-Length"), "17");
}

TEST_F(ExchangeTest, LargeBodyGoesOutWholeWithoutWaitingForContinue) {
  const std::string body(2 * 1024 * 1024, 'b');
  sendWithHeaders("POST", "/tavro/v1/probe", body, {});
  const auto sent = simulator.requests().back();
  EXPECT_EQ(sent.body.size(), body.size());
  EXPECT_FALSE(sent.hasHeader("Expect"));
  EXPECT_FALSE(sent.hasHeader("Content-Type"));
}

TEST_F(ExchangeTest, MethodIsSentAsGiven) {
  for (const char* method : {"GET", "POST", "PUT", "DELETE", "PATCH"}) {
    const Answer answer = sendWithHeaders(method, "/tavro/v1/probe", "", {});
    EXPECT_TRUE(answer.answered) << method;
    EXPECT_EQ(answer.out, 404) << method;
    EXPECT_EQ(simulator.requests().back().method, method);
  }
}

TEST_F(ExchangeTest, RequestThatWouldCorruptTheHeadersIsNotSent) {
  const struct {
    const char* method;
    std::string name;
    std::string value;
  } cases[] = {
      {"PUT", "X-Split", "a\r\nInjected: 1"},
      {"PUT", "Bad Name", "v"},
      {"PUT", "", "v"},
      {"", "X-Ok", "v"},
      {"PU T", "X-Ok", "v"},
  };
  for (const auto& c : cases) {
    const Answer answer = sendWithHeaders(c.method, "/tavro/v1/probe", "", {{c.name, c.value}});
    EXPECT_FALSE(answer.answered) << c.name;
    EXPECT_LT(answer.out, 0) << c.name;
  }
  EXPECT_TRUE(simulator.requests().empty());
}

TEST_F(ExchangeTest, DeviceUrlWithTrailingSlashKeepsThePath) {
  pointCommunicatorAt(simulator.url() + "/");
  EXPECT_EQ(sendAuthorized().status, 200);
  EXPECT_EQ(simulator.requests().back().path, Constants::PUTLAYERSCUTOUTCURSOR);
}

TEST_F(ExchangeTest, ResponseBodyIsSizedTerminatedAndReleased) {
  HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
  HttpRequest* request = client->createRequest("GET", "/tavro/v1/probe");
  HttpRespon* respon = client->sendRequest(request, nullptr);
  ASSERT_NE(respon, nullptr);
  ASSERT_GT(respon->getBodySize(), 0);
  EXPECT_EQ(respon->getBody()[respon->getBodySize()], '\0');
  EXPECT_EQ(std::strlen(respon->getBody()), static_cast<std::size_t>(respon->getBodySize()));

  client->deleteRequest(request);
  client->deleteRespon(respon);
  EXPECT_EQ(request, nullptr);
  EXPECT_EQ(respon, nullptr);
}

TEST(SingletonTest, EveryThreadGetsTheSameInstanceAndClient) {
  HttpSingleTon* seen[4] = {};
  std::vector<std::thread> threads;
  for (auto& slot : seen) {
    threads.emplace_back([&slot] { slot = HttpSingleTon::getInstance(); });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  for (HttpSingleTon* instance : seen) {
    EXPECT_EQ(instance, HttpSingleTon::getInstance());
  }
  EXPECT_NE(HttpSingleTon::getInstance()->getHttpClient(), nullptr);
  EXPECT_EQ(HttpSingleTon::getInstance()->getHttpClient(), HttpSingleTon::getInstance()->getHttpClient());
  EXPECT_EQ(HttpLogin::getInstance(), HttpLogin::getInstance());
}

}  // namespace
