#include "communicator/exchangefailure.h"
#include "scripteddevice.h"
#include "simulatedevice.h"

namespace {

// The request line, the headers exactly as set (no defaults of libcurl's own
// beyond Host and Content-Length) and the body byte for byte; or nothing at
// all when the request would corrupt the head or the device URL cannot serve.
TEST(RequestTest, GoesOutExactlyAsBuiltOrNotAtAll) {
  const std::string binary("{\"a\":1}\0\xff\r\n tail", 17);
  const std::string large(2 << 20, 'b');
  const struct {
    const char* prefix;
    const char* method;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string sent;  // HOST stands for the device's address
  } cases[] = {
      {"",
       "PUT",
       {{"Content-Type", "application/json"}, {"Authorization", "tok en"}, {"X-Empty", ""}},
       binary,
       "PUT /p HTTP/1.1\r\nHost: HOST\r\nContent-Type: application/json\r\nAuthorization: tok en\r\nX-Empty:\r\n"
       "Content-Length: 17\r\n\r\n" +
           binary},
      {"/api/", "GET", {}, "", "GET /api/p HTTP/1.1\r\nHost: HOST\r\n\r\n"},
      {"", "PUT", {}, "", "PUT /p HTTP/1.1\r\nHost: HOST\r\nContent-Length: 0\r\n\r\n"},
      {"", "POST", {}, large, "POST /p HTTP/1.1\r\nHost: HOST\r\nContent-Length: 2097152\r\n\r\n" + large},
      {"", "PUT", {{"X-Split", "a\r\nInjected: 1"}}, "", ""},
      {"", "PUT", {{"Bad Name", "v"}}, "", ""},
      {"", "PUT", {{"", "v"}}, "", ""},
      {"", "PU T", {}, "", ""},
      {"/?x=1", "PUT", {}, "", ""},
  };
  for (const auto& c : cases) {
    ScriptedDevice device;
    pointCommunicatorAt("http://" + device.address() + c.prefix);
    const Answer answer = sendWithHeaders(c.method, "/p", c.body, c.headers);
    const std::vector<std::string> requests = device.requests();
    std::string expected = c.sent;
    if (!expected.empty()) expected.replace(expected.find("HOST"), 4, device.address());
    EXPECT_EQ(requests.empty() ? "" : requests.front(), expected) << c.method;
    EXPECT_EQ(answer.out, c.sent.empty() ? LCD::Communicator::kFailedLocally : 200) << c.method;
  }
}

}  // namespace
