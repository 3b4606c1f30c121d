#include "layercutout/httplogin.h"

#include "communicator/httpexchange.h"
#include "communicator/loginmessage.h"
#include "communicator/resourceurl.h"
#include "communicator/settingsstore.h"
#include "proto/constants.h"

namespace {

using namespace LCD::Communicator;

std::string logIn(const DeviceSettings& settings) {
  namespace Constants = LCD::Proto::Constants;
  const ExchangeResult reply =
      performExchange(Constants::HTTPPOSTREQUEST, resourceUrl(settings.url, Constants::POSTLOGIN),
                      {{"Content-Type", Constants::CONTENTTYPE}}, loginRequestBody(settings.user, settings.password),
                      settings.timeoutMs);
  return reply.status == 200 ? tokenFromLoginReply(reply.body) : std::string();
}

}  // namespace

HttpLogin* HttpLogin::getInstance() {
  static HttpLogin* instance = new HttpLogin;  // outlives every thread that may still send
  return instance;
}

std::string HttpLogin::getToken() {
  const SettingsSnapshot snapshot = settingsSnapshot();
  // Held across the login so that concurrent first requests log in once.
  std::lock_guard<std::mutex> lock(mutex_);
  if (token_.empty() || settingsGeneration_ != snapshot.generation) {
    token_ = logIn(snapshot.settings);
    settingsGeneration_ = snapshot.generation;
  }
  return token_;
}

void HttpLogin::forgetToken(const std::string& rejected) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (token_ == rejected) {
    token_.clear();
  }
}
