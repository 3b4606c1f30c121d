#include "layercutout/httprespon.h"

#include <utility>

HttpRespon::HttpRespon(int status, std::string body) : status_(status), body_(std::move(body)) {}

const char* HttpRespon::getBody() { return body_.c_str(); }

int HttpRespon::getBodySize() { return static_cast<int>(body_.size()); }

int HttpRespon::getStatus() { return status_; }
