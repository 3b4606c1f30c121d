#pragma once

#include "communicator/export.h"
#include "layercutout/httpclient.h"

#include <mutex>

// Process-wide entry to the device communicator.
class LCD_COMMUNICATOR_EXPORT HttpSingleTon {
 public:
  static HttpSingleTon* getInstance();

  // Never null; owned by the singleton.
  HttpClient* getHttpClient();

  HttpSingleTon(const HttpSingleTon&) = delete;
  HttpSingleTon& operator=(const HttpSingleTon&) = delete;

 private:
  HttpSingleTon() = default;

  static std::once_flag flag;
  static HttpSingleTon* _instance;

  HttpClient client_;
};
