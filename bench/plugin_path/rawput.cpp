#include "bench/plugin_path/rawput.h"

namespace plugin_path {

RawPut::RawPut(const std::string& url, const std::string& token, std::string body)
    : curl_(curl_easy_init()), body_(std::move(body)) {
  headers_ = curl_slist_append(headers_, "Content-Type: application/json");
  headers_ = curl_slist_append(headers_, ("Authorization: " + token).c_str());
  headers_ = curl_slist_append(headers_, "Expect:");
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, "PUT");
  curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
  curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body_.data());
  curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body_.size()));
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &RawPut::collect);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &reply_);
  curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
}

RawPut::~RawPut() {
  curl_easy_cleanup(curl_);
  curl_slist_free_all(headers_);
}

size_t RawPut::collect(char* data, size_t size, size_t count, void* reply) {
  static_cast<std::string*>(reply)->append(data, size * count);
  return size * count;
}

bool RawPut::send() {
  reply_.clear();
  if (curl_easy_perform(curl_) != CURLE_OK) return false;
  long status = 0;
  curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
  return status == 200 && reply_.find("\"code\":0") != std::string::npos;
}

}  // namespace plugin_path
