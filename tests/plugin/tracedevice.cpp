#include "tests/plugin/tracedevice.h"

#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"
#include "tests/plugin/handback.h"

namespace {

Trace* target = nullptr;
std::optional<std::string> scriptedReply;
Handback handback = Handback::Reset;
Holdings live;

// The body each request was given, as the caller's pointer and what it held.
std::map<const HttpRequest*, std::pair<const char*, std::string>> sentBodies;
// Each reply's body: exactly its bytes, with no terminator, freed with it.
std::map<const HttpRespon*, std::unique_ptr<char[]>> replyBodies;

void traced(const std::string& line) {
  if (target != nullptr) target->push_back(line);
}

// Traces `call`; false, traced as a fault, when `object` is not a live one.
bool tracedOn(const void* object, const std::string& call) {
  traced(live.holds(object) ? call : call + " on a released object");
  return live.holds(object);
}

std::string text(const char* value) { return value == nullptr ? "(null)" : value; }

}  // namespace

void TraceDevice::use(Trace* trace, const std::optional<std::string>& scripted, Handback mode) {
  std::tie(target, scriptedReply, handback) = std::tie(trace, scripted, mode);
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

// Longer than a short-string buffer, so that the text lives on the heap and a
// use after the caller dropped it shows.
std::string HttpLogin::getToken() { return traced("getToken"), "token-of-the-device-login"; }

HttpRequest::HttpRequest(std::string method, std::string path) : method_(std::move(method)), path_(std::move(path)) {}

void HttpRequest::setHead(const char* name, const char* value) {
  tracedOn(this, "setHead(" + text(name) + ", " + text(value) + ")");
}

void HttpRequest::setBody(const char* data, int length) {
  const bool given = data != nullptr && length >= 0;
  const std::string bytes = given ? std::string(data, static_cast<std::size_t>(length)) : "(null)";
  if (tracedOn(this, "setBody(" + bytes + ", " + std::to_string(length) + ")") && given)
    sentBodies[this] = {data, bytes};
}

HttpRespon::HttpRespon(int status, std::string body) : status_(status), body_(std::move(body)) {}

// The body is followed by bytes that are not part of it and by no NUL, so a
// reader that looks past getBodySize sees an unterminated string.
constexpr char kBeyondTheBody[] = "\"beyond";

const char* HttpRespon::getBody() { return tracedOn(this, "getBody") ? replyBodies[this].get() : nullptr; }

int HttpRespon::getBodySize() { return tracedOn(this, "getBodySize") ? static_cast<int>(body_.size()) : 0; }

int HttpRespon::getStatus() { return status_; }

HttpRequest* HttpClient::createRequest(const char* method, const char* url) {
  traced("createRequest(" + text(method) + ", " + text(url) + ")");
  return live.handOut(std::unique_ptr<HttpRequest>(new HttpRequest(text(method), text(url))));
}

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* out) {
  const std::string sent = "sendRequest(" + (out == nullptr ? std::string("null") : std::to_string(*out)) + ")";
  if (!tracedOn(request, sent) || !scriptedReply) return nullptr;
  auto* respon = live.handOut(std::unique_ptr<HttpRespon>(new HttpRespon(200, *scriptedReply)));
  const std::string bytes = *scriptedReply + kBeyondTheBody;
  auto& body = replyBodies[respon] = std::make_unique<char[]>(bytes.size());
  std::memcpy(body.get(), bytes.data(), bytes.size());
  return respon;
}

void HttpClient::deleteRequest(HttpRequest*& request) {
  if (!tracedOn(request, "deleteRequest")) return;
  if (const auto sent = sentBodies.extract(request)) {
    const auto& [data, bytes] = sent.mapped();
    if (std::memcmp(data, bytes.data(), bytes.size()) != 0) traced("body changed before deleteRequest");
  }
  live.takeBack(request);
  handBack(request, handback);
}

void HttpClient::deleteRespon(HttpRespon*& respon) {
  if (!tracedOn(respon, "deleteRespon")) return;
  replyBodies.erase(respon);
  live.takeBack(respon);
  handBack(respon, handback);
}
