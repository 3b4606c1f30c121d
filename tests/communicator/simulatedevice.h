#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"
#include "proto/constants.h"

namespace Constants = LCD::Proto::Constants;
using LCD::DeviceSim::DeviceSimulator;
using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;

constexpr char kCursorRequest[] = R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":640,"y":360}}})";

// What came back from one request, copied before the response was released.
struct Answer {
  bool answered;
  int out;
  int status;
  std::string body;
};

inline void pointCommunicatorAt(const std::string& url, long timeoutMs = 2000, const std::string& password = "admin") {
  LCD::Communicator::configureDevice({url, "admin", password, timeoutMs});
}

// Sends one request the way the plug-in does, with the given headers.
inline Answer sendWithHeaders(const char* method, const char* path, const std::string& body,
                              const std::vector<std::pair<std::string, std::string>>& headers) {
  HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
  HttpRequest* request = client->createRequest(method, path);
  for (const auto& [name, value] : headers) request->setHead(name.c_str(), value.c_str());
  request->setBody(body.data(), static_cast<int>(body.size()));
  int out = 0;
  HttpRespon* respon = client->sendRequest(request, &out);
  Answer answer{respon != nullptr, out, respon != nullptr ? respon->getStatus() : 0, {}};
  if (respon != nullptr) answer.body.assign(respon->getBody(), static_cast<std::size_t>(respon->getBodySize()));
  client->deleteRequest(request);
  client->deleteRespon(respon);
  return answer;
}

// The plug-in's request road: JSON content type and the login token.
inline Answer sendAuthorized(const char* path = Constants::PUTLAYERSCUTOUTCURSOR,
                             const std::string& body = kCursorRequest) {
  return sendWithHeaders(
      Constants::HTTPPUTREQUEST, path, body,
      {{"Content-Type", Constants::CONTENTTYPE}, {"Authorization", HttpLogin::getInstance()->getToken()}});
}

inline std::size_t countRequestsTo(const DeviceSimulator& simulator, const std::string& path) {
  const auto requests = simulator.requests();
  return static_cast<std::size_t>(
      std::count_if(requests.begin(), requests.end(), [&path](const auto& r) { return r.path == path; }));
}

// A fresh simulated device per test, with the communicator pointed at it.
class SimulatedDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { pointCommunicatorAt(simulator.url()); }

  std::size_t loginCount() const { return countRequestsTo(simulator, Constants::POSTLOGIN); }

  DeviceSimulator simulator;
};
