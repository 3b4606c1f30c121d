#pragma once

#include "communicator/export.h"

class HttpRequest;
class HttpRespon;

// Synchronous HTTP exchanges with the device. Safe to use from many threads at
// once; each thread keeps its own connection to the device alive between calls.
class LCD_COMMUNICATOR_EXPORT HttpClient {
 public:
  // `url` is the resource path only ("/tavro/v1/..."); the device's scheme,
  // host and port come from the device settings. Null texts count as empty.
  HttpRequest* createRequest(const char* method, const char* url);

  // Sends the request and waits for the answer or the time-out. Returns null
  // when no answer arrived (refused, reset, timed out, a reply over 8 MiB, or
  // a request that cannot be sent as built; lastExchangeFailure() in
  // communicator/exchangefailure.h tells which); otherwise the answer,
  // whatever its status. When `out` is not null it receives the HTTP status,
  // or a negative number when there is no answer. Never throws.
  HttpRespon* sendRequest(HttpRequest* request, int* out);

  void deleteRequest(HttpRequest*& request);
  void deleteRespon(HttpRespon*& respon);
};
