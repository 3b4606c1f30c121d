#pragma once

#include <curl/curl.h>

#include <string>

namespace plugin_path {

// The floor the plug-in's path is compared with: the same PUT, the same bytes
// and headers, straight through libcurl on one kept-alive connection.
class RawPut {
 public:
  RawPut(const std::string& url, const std::string& token, std::string body);
  ~RawPut();
  RawPut(const RawPut&) = delete;
  RawPut& operator=(const RawPut&) = delete;

  // True when the device answered 200 with code 0.
  bool send();

 private:
  static size_t collect(char* data, size_t size, size_t count, void* reply);

  CURL* curl_;
  curl_slist* headers_ = nullptr;
  std::string body_;
  std::string reply_;
};

}  // namespace plugin_path
