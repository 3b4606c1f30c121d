#include "tests/plugin/tracedevice.h"

#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"

#include <utility>

namespace {

Trace* target = nullptr;
std::optional<std::string> scriptedReply;

void traced(const std::string& line) {
  if (target != nullptr) target->push_back(line);
}

std::string text(const char* value) { return value == nullptr ? "(null)" : value; }

}  // namespace

void TraceDevice::use(Trace* trace, const std::optional<std::string>& scripted) {
  target = trace;
  scriptedReply = scripted;
}

std::once_flag HttpSingleTon::flag;
HttpSingleTon* HttpSingleTon::_instance = nullptr;

HttpSingleTon* HttpSingleTon::getInstance() {
  traced("HttpSingleTon::getInstance");
  std::call_once(flag, [] { _instance = new HttpSingleTon; });
  return _instance;
}

HttpClient* HttpSingleTon::getHttpClient() { return traced("getHttpClient"), &client_; }

HttpLogin* HttpLogin::getInstance() {
  traced("HttpLogin::getInstance");
  static HttpLogin* instance = new HttpLogin;
  return instance;
}

std::string HttpLogin::getToken() { return traced("getToken"), "token-1"; }

HttpRequest::HttpRequest(std::string method, std::string path) : method_(std::move(method)), path_(std::move(path)) {}

void HttpRequest::setHead(const char* name, const char* value) {
  traced("setHead(" + text(name) + ", " + text(value) + ")");
}

void HttpRequest::setBody(const char* data, int length) {
  const std::string bytes =
      data == nullptr || length < 0 ? "(null)" : std::string(data, static_cast<std::size_t>(length));
  traced("setBody(" + bytes + ", " + std::to_string(length) + ")");
}

// The body is followed by bytes that are not part of it, so a reader that
// looks past getBodySize sees an unterminated string.
constexpr char kBeyondTheBody[] = "\"beyond";

HttpRespon::HttpRespon(int status, std::string body) : status_(status), body_(std::move(body) + kBeyondTheBody) {}

const char* HttpRespon::getBody() { return traced("getBody"), body_.data(); }
int HttpRespon::getBodySize() {
  return traced("getBodySize"), static_cast<int>(body_.size() - sizeof kBeyondTheBody + 1);
}

int HttpRespon::getStatus() { return status_; }

HttpRequest* HttpClient::createRequest(const char* method, const char* url) {
  return traced("createRequest(" + text(method) + ", " + text(url) + ")"), new HttpRequest(text(method), text(url));
}

HttpRespon* HttpClient::sendRequest(HttpRequest*, int* out) {
  traced("sendRequest(" + (out == nullptr ? std::string("null") : std::to_string(*out)) + ")");
  return scriptedReply ? new HttpRespon(200, *scriptedReply) : nullptr;
}

void HttpClient::deleteRequest(HttpRequest*& request) {
  traced("deleteRequest");
  delete std::exchange(request, nullptr);
}

void HttpClient::deleteRespon(HttpRespon*& respon) {
  traced("deleteRespon");
  delete std::exchange(respon, nullptr);
}
