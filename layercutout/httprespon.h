#pragma once

#include "communicator/export.h"

#include <string>

class HttpClient;

// The device's answer to one request, whatever its HTTP status. Made by
// HttpClient::sendRequest and released by HttpClient::deleteRespon.
class LCD_COMMUNICATOR_EXPORT HttpRespon {
 public:
  HttpRespon(const HttpRespon&) = delete;
  HttpRespon& operator=(const HttpRespon&) = delete;

  // The body bytes, valid until the response is deleted. A NUL follows the
  // last byte, but the body may itself contain NULs: use getBodySize.
  const char* getBody();
  int getBodySize();

  int getStatus();

 private:
  friend class HttpClient;

  HttpRespon(int status, std::string body);

  int status_;
  std::string body_;
};
