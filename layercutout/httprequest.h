#pragma once

#include "communicator/export.h"

#include <string>
#include <utility>
#include <vector>

class HttpClient;

// One request to the device, built by HttpClient::createRequest and released
// by HttpClient::deleteRequest. It owns copies of everything set on it.
class LCD_COMMUNICATOR_EXPORT HttpRequest {
 public:
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Adds a header sent as given; an empty value is sent as an empty header.
  void setHead(const char* name, const char* value);

  // Copies `length` bytes of `data` as the body; embedded NULs are kept.
  // A null `data` or a negative `length` gives an empty body.
  void setBody(const char* data, int length);

 private:
  friend class HttpClient;

  HttpRequest(std::string method, std::string path);

  std::string method_;
  std::string path_;
  std::vector<std::pair<std::string, std::string>> headers_;
  std::string body_;
};
