#pragma once

#include "communicator/export.h"

#include <cstdint>
#include <mutex>
#include <string>

// The device's login token, fetched on first need and kept until the device
// rejects it or the device settings change.
class LCD_COMMUNICATOR_EXPORT HttpLogin {
 public:
  static HttpLogin* getInstance();

  // The cached token, or the one a fresh login yields. Empty when the login
  // fails; the next call then tries again.
  std::string getToken();

  // Drops the cached token if it is `rejected`, so that a token that was
  // already renewed by another thread survives a late rejection.
  void forgetToken(const std::string& rejected);

  HttpLogin(const HttpLogin&) = delete;
  HttpLogin& operator=(const HttpLogin&) = delete;

 private:
  HttpLogin() = default;

  std::mutex mutex_;
  std::string token_;
  std::uint64_t settingsGeneration_ = 0;
};
