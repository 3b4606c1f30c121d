#include <gtest/gtest.h>
#include <stdlib.h>

#include <nlohmann/json.hpp>

#include "communicator/devicesettings.h"
#include "communicator/exchangefailure.h"
#include "layercutout/httplogin.h"
#include "scripteddevice.h"

namespace {

using LCD::Communicator::DeviceSettings;

// A request, and what goes out for it: the request line, the headers exactly as set (no defaults of
// libcurl's own beyond Host and Content-Length) and the body byte for byte ("HOST" stands for the
// device's address, "BODY" for the body); or nothing at all when the request would corrupt the head
// or the device URL cannot serve.
struct Request {
  std::string name, method, prefix, body, sent;
  Headers headers = {};
};
const Request kRequests[] = {
    {"HeadersAsSetAndBinaryBody",
     "PUT",
     "",
     std::string("{\"a\":1}\0\xff\r\n tail", 17),
     "PUT /p HTTP/1.1\r\nHost: HOST\r\nContent-Type: application/json\r\nAuthorization: tok en\r\nX-Empty:\r\n"
     "Content-Length: 17\r\n\r\nBODY",
     {{"Content-Type", "application/json"}, {"Authorization", "tok en"}, {"X-Empty", ""}}},
    {"GetUnderPathPrefix", "GET", "/api/", "", "GET /api/p HTTP/1.1\r\nHost: HOST\r\n\r\n"},
    {"EmptyPutStatesItsLength", "PUT", "", "", "PUT /p HTTP/1.1\r\nHost: HOST\r\nContent-Length: 0\r\n\r\n"},
    {"LargePostAtOnce", "POST", "", std::string(2 << 20, 'b'),
     "POST /p HTTP/1.1\r\nHost: HOST\r\nContent-Length: 2097152\r\n\r\nBODY"},
    {"CrLfInAValue", "PUT", "", "", "", {{"X-Split", "a\r\nInjected: 1"}}},
    {"EmptyName", "PUT", "", "", "", {{"", "v"}}},
    {"SpaceInTheMethod", "PU T", "", "", ""},
    {"QueryInTheDeviceUrl", "PUT", "/?x=1", "", ""},
};

class RequestTest : public testing::TestWithParam<Request> {};

TEST_P(RequestTest, GoesOutExactlyAsBuiltOrNotAtAll) {
  const Request& c = GetParam();
  ScriptedDevice device;
  LCD::Communicator::configureDevice({"http://" + device.address() + c.prefix, "admin", "admin", 2000});
  const int out = sendRequest(c.method, "/p", c.body, c.headers);
  const std::string expected = replaced(replaced(c.sent, "HOST", device.address()), "BODY", c.body);
  const auto requests = device.requests();
  EXPECT_EQ(requests.empty() ? "" : requests.front(), expected);
  EXPECT_EQ(out, expected.empty() ? LCD::Communicator::kFailedLocally : 200);
}
INSTANTIATE_TEST_SUITE_P(Communicator, RequestTest, testing::ValuesIn(kRequests),
                         [](const auto& info) { return info.param.name; });

// The login as the device expects it: a JSON body with the settings' credentials.
TEST(Login, PostsTheCredentialsAsJson) {
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

// One variable of the environment, and the settings it gives: "url user password timeout".
struct Environment {
  std::string name, variable, value, settings;
};
const Environment kEnvironments[] = {
    {"Url", "LCD_DEVICE_URL", "https://[fd00::10]:81/lcd", "https://[fd00::10]:81/lcd admin admin 5000"},
    {"User", "LCD_DEVICE_USER", "operator", "http://127.0.0.1:8080 operator admin 5000"},
    {"Password", "LCD_DEVICE_PASSWORD", "pa ss", "http://127.0.0.1:8080 admin pa ss 5000"},
    {"TimeOut", "LCD_DEVICE_TIMEOUT_MS", "250", "http://127.0.0.1:8080 admin admin 250"},
    {"EmptyUrl", "LCD_DEVICE_URL", "", "http://127.0.0.1:8080 admin admin 5000"},
    {"TimeOutWithUnit", "LCD_DEVICE_TIMEOUT_MS", "250ms", "http://127.0.0.1:8080 admin admin 5000"},
    {"TimeOutZero", "LCD_DEVICE_TIMEOUT_MS", "0", "http://127.0.0.1:8080 admin admin 5000"},
    {"TimeOutBeyondLong", "LCD_DEVICE_TIMEOUT_MS", "99999999999999999999", "http://127.0.0.1:8080 admin admin 5000"},
};

class EnvironmentTest : public testing::TestWithParam<Environment> {};

// Each variable on its own, the others unset.
TEST_P(EnvironmentTest, SetsTheDeviceSettings) {
  for (const char* variable : {"LCD_DEVICE_URL", "LCD_DEVICE_USER", "LCD_DEVICE_PASSWORD", "LCD_DEVICE_TIMEOUT_MS"})
    unsetenv(variable);
  setenv(GetParam().variable.c_str(), GetParam().value.c_str(), 1);
  const DeviceSettings s = LCD::Communicator::settingsFromEnvironment();
  EXPECT_EQ(s.url + " " + s.user + " " + s.password + " " + std::to_string(s.timeoutMs), GetParam().settings);
  unsetenv(GetParam().variable.c_str());
}
INSTANTIATE_TEST_SUITE_P(Communicator, EnvironmentTest, testing::ValuesIn(kEnvironments),
                         [](const auto& info) { return info.param.name; });

}  // namespace
