#include "layercutout/devicerequest.h"

#include <cstdint>

#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"
#include "proto/constants.h"

namespace LayerCutout {

namespace {

std::string takeBody(HttpRespon* response) {
  const char* bytes = response->getBody();
  const auto size = static_cast<std::uint32_t>(response->getBodySize());
  return bytes == nullptr ? std::string() : std::string(bytes, size);
}

}  // namespace

DeviceReply putJson(const char* path, const std::string& body) {
  HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
  HttpRequest* request = client->createRequest(LCD::Proto::Constants::HTTPPUTREQUEST, path);
  request->setHead("Content-Type", LCD::Proto::Constants::CONTENTTYPE);
  request->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
  request->setBody(body.data(), static_cast<int>(body.size()));

  int unused = 0;
  HttpRespon* response = client->sendRequest(request, &unused);
  if (response == nullptr) {
    client->deleteRequest(request);
    return {false, std::string()};
  }
  DeviceReply reply{true, takeBody(response)};
  client->deleteRequest(request);
  client->deleteRespon(response);
  return reply;
}

}  // namespace LayerCutout
