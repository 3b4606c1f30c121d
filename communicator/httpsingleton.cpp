#include "layercutout/httpsingleton.h"

std::once_flag HttpSingleTon::flag;
HttpSingleTon* HttpSingleTon::_instance = nullptr;

HttpSingleTon* HttpSingleTon::getInstance() {
  // Never destroyed: threads may still send while the process exits.
  std::call_once(flag, [] { _instance = new HttpSingleTon; });
  return _instance;
}

HttpClient* HttpSingleTon::getHttpClient() { return &client_; }
