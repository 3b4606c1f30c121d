#include "layercutout/deviceexchange.h"

#include <cstdint>
#include <utility>

#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"
#include "proto/constants.h"

namespace LayerCutout {

DeviceExchange::DeviceExchange(const char* path, const std::string& body)
    : client_(HttpSingleTon::getInstance()->getHttpClient()),
      request_(client_->createRequest(LCD::Proto::Constants::HTTPPUTREQUEST, path)),
      response_(nullptr) {
  if (request_ == nullptr) return;  // nothing to send: no response
  request_->setHead("Content-Type", LCD::Proto::Constants::CONTENTTYPE);
  request_->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
  request_->setBody(body.data(), static_cast<int>(body.size()));
  int unused = 0;
  response_ = client_->sendRequest(request_, &unused);
}

DeviceExchange::~DeviceExchange() { release(); }

bool DeviceExchange::answered() const { return response_ != nullptr; }

std::string DeviceExchange::replyText() const {
  const char* bytes = response_->getBody();
  const auto size = static_cast<std::uint32_t>(response_->getBodySize());
  return bytes == nullptr ? std::string() : std::string(bytes, size);
}

// The library may free an object and leave the pointer it was given as it
// was, so each pointer is taken out of the exchange before it is handed back:
// a second call, or the destructor, then finds nothing left to release.
void DeviceExchange::release() {
  if (HttpRequest* request = std::exchange(request_, nullptr)) client_->deleteRequest(request);
  if (HttpRespon* response = std::exchange(response_, nullptr)) client_->deleteRespon(response);
}

}  // namespace LayerCutout
