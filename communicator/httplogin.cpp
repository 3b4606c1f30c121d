#include "layercutout/httplogin.h"

#include "communicator/httpexchange.h"
#include "communicator/loginmessage.h"
#include "proto/constants.h"

namespace {

using namespace LCD::Communicator;

// A login reply holds a token of a few hundred bytes.
constexpr std::size_t kReplyLimit = 64 << 10;

bool sameSettings(const DeviceSettings& a, const DeviceSettings& b) {
  return a.url == b.url && a.user == b.user && a.password == b.password && a.timeoutMs == b.timeoutMs;
}

std::string logIn(const DeviceSettings& settings) noexcept {
  namespace Constants = LCD::Proto::Constants;
  try {
    const ExchangeResult reply = performExchange(settings, Constants::HTTPPOSTREQUEST, Constants::POSTLOGIN,
                                                 {{"Content-Type", Constants::CONTENTTYPE}},
                                                 loginRequestBody(settings.user, settings.password), kReplyLimit);
    return reply.status == 200 ? tokenFromLoginReply(reply.body) : std::string();
  } catch (...) {
    recordExchangeFailure("out of memory");
    return {};
  }
}

}  // namespace

HttpLogin* HttpLogin::getInstance() {
  static HttpLogin* instance = new HttpLogin;  // outlives every thread that may still send
  return instance;
}

std::string HttpLogin::getToken() {
  try {
    return tokenFor(deviceSettings());
  } catch (...) {
    return {};
  }
}

std::string HttpLogin::tokenFor(const DeviceSettings& settings) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (loggingIn_) {
    const std::uint64_t awaited = logins_;
    loginDone_.wait(lock, [this, awaited] { return logins_ != awaited; });
    if (sameSettings(loggedInWith_, settings)) {
      return token_;
    }
  }
  if (!token_.empty() && sameSettings(loggedInWith_, settings)) {
    return token_;
  }
  DeviceSettings used = settings;  // copied before others may wait on this login
  loggingIn_ = true;
  lock.unlock();  // a login takes up to a time-out: others must not queue behind the lock
  std::string token = logIn(used);
  lock.lock();
  token_ = std::move(token);
  loggedInWith_ = std::move(used);
  loggingIn_ = false;
  ++logins_;
  loginDone_.notify_all();
  return token_;
}

void HttpLogin::forgetToken(const std::string& rejected) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (token_ == rejected) {
    token_.clear();
  }
}
