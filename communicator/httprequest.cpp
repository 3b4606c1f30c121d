#include "layercutout/httprequest.h"

HttpRequest::HttpRequest(std::string method, std::string path) : method_(std::move(method)), path_(std::move(path)) {}

void HttpRequest::setHead(const char* name, const char* value) {
  headers_.emplace_back(name != nullptr ? name : "", value != nullptr ? value : "");
}

void HttpRequest::setBody(const char* data, int length) {
  if (data == nullptr || length < 0) {
    body_.clear();
    return;
  }
  body_.assign(data, static_cast<std::size_t>(length));
}
