#include "layercutout/deviceexchange.h"

#include <cstdint>

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

void DeviceExchange::release() {
  if (request_ != nullptr) client_->deleteRequest(request_);
  if (response_ != nullptr) client_->deleteRespon(response_);
}

}  // namespace LayerCutout
