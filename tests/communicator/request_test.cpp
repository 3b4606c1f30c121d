#include <gtest/gtest.h>

#include "communicator/devicesettings.h"
#include "communicator/exchangefailure.h"
#include "layercutout/httplogin.h"
#include "scripteddevice.h"

namespace {

// The request line, the headers exactly as set (no defaults of libcurl's own
// beyond Host and Content-Length) and the body byte for byte; or nothing at
// all when the request would corrupt the head or the device URL cannot serve.
// In the request sent, HOST stands for the device's address and BODY for the body.
TEST(RequestTest, GoesOutExactlyAsBuiltOrNotAtAll) {
  for (const auto& c : caseTable("requests")) {
    ScriptedDevice device;
    LCD::Communicator::configureDevice({"http://" + device.address() + c.value("prefix", ""), "admin", "admin", 2000});
    const std::string body = textOf(c.value("body", nlohmann::json("")));
    const int out = sendRequest(c["method"], "/p", body, c.value("headers", Headers{}));
    const std::string expected = replaced(replaced(c["sent"], "HOST", device.address()), "BODY", body);
    const auto requests = device.requests();
    EXPECT_EQ(requests.empty() ? "" : requests.front(), expected) << c["what"];
    EXPECT_EQ(out, expected.empty() ? LCD::Communicator::kFailedLocally : 200) << c["what"];
  }
}

// The login as the device expects it: a JSON body with the settings' credentials.
TEST(RequestTest, LogsInWithTheCredentialsAsJson) {
  ScriptedDevice device;
  LCD::Communicator::configureDevice({"http://" + device.address(), "admin", "pa\"ss", 2000});
  HttpLogin::getInstance()->getToken();
  const auto requests = device.requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::size_t bodyAt = requests[0].find("\r\n\r\n") + 4;
  EXPECT_EQ(requests[0].substr(0, bodyAt), "POST /tavro/v1/system/auth/login HTTP/1.1\r\nHost: " + device.address() +
                                               "\r\nContent-Type: application/json\r\nContent-Length: " +
                                               std::to_string(requests[0].size() - bodyAt) + "\r\n\r\n");
  EXPECT_EQ(nlohmann::json::parse(requests[0].substr(bodyAt)),
            (nlohmann::json{{"username", "admin"}, {"password", "pa\"ss"}}));
}

}  // namespace
