#pragma once

#include "communicator/devicesettings.h"
#include "communicator/export.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

// The device's login token, fetched on first need and kept until the device
// rejects it or the device settings change.
class LCD_COMMUNICATOR_EXPORT HttpLogin {
 public:
  static HttpLogin* getInstance();

  // The cached token, or the one a fresh login yields. Empty when the login
  // fails; the next call then tries again. Callers that arrive while a login
  // is under way wait for it and share its result, token or failure. Never throws.
  std::string getToken();

  // Drops the cached token if it is `rejected`, so that a token that was
  // already renewed by another thread survives a late rejection.
  void forgetToken(const std::string& rejected);

  HttpLogin(const HttpLogin&) = delete;
  HttpLogin& operator=(const HttpLogin&) = delete;

 private:
  HttpLogin() = default;

  std::string tokenFor(const LCD::Communicator::DeviceSettings& settings);

  std::mutex mutex_;
  std::condition_variable loginDone_;
  bool loggingIn_ = false;
  std::uint64_t logins_ = 0;  // finished logins, so that a waiter sees its login end
  std::string token_;
  LCD::Communicator::DeviceSettings loggedInWith_;
};
