// A liblcdcommunicator.so.1 that answers every request in process with the
// device's usual success reply. Loaded beside a copy of the plug-in, it leaves
// only the plug-in's own work (and the host's dispatch) to be measured.

#include <cstring>
#include <string>

#include "layercutout/httpclient.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"
#include "proto/constants.h"

namespace {

namespace Constants = LCD::Proto::Constants;

// Sixteen assessment results, as the device answers a 16-layer request.
std::string assessReply() {
  std::string reply = R"({"code":0,"message":"","data":[)";
  for (int layer = 1; layer <= 16; ++layer) {
    if (layer > 1) reply += ',';
    reply += R"({"layerId":)" + std::to_string(layer) + R"(,"state":0,"interfaces":[{"interfaceId":)" +
             std::to_string(2 * layer - 1) + R"(},{"interfaceId":)" + std::to_string(2 * layer) + "}]}";
  }
  return reply + "]}";
}

const std::string& cannedReply(const std::string& path) {
  static const std::string cutout = R"({"code":0,"message":""})";
  static const std::string cursor =
      R"({"code":0,"message":"","data":{"layerId":2,"cursor":{"enable":1,"pos":{"x":300,"y":100},)"
      R"("color":{"R":255,"G":255,"B":0}}}})";
  static const std::string assess = assessReply();
  if (path == Constants::PUTLAYERSCUTOUTCURSOR) return cursor;
  if (path == Constants::TAVROPROTOPUTASSESSLAYERCUTOUT) return assess;
  return cutout;
}

}  // namespace

std::once_flag HttpSingleTon::flag;
HttpSingleTon* HttpSingleTon::_instance = nullptr;

HttpSingleTon* HttpSingleTon::getInstance() {
  std::call_once(flag, [] { _instance = new HttpSingleTon; });
  return _instance;
}

HttpClient* HttpSingleTon::getHttpClient() { return &client_; }

HttpRequest::HttpRequest(std::string method, std::string path) : method_(std::move(method)), path_(std::move(path)) {}

void HttpRequest::setHead(const char* name, const char* value) { headers_.emplace_back(name, value); }

void HttpRequest::setBody(const char* data, int length) { body_.assign(data, static_cast<std::size_t>(length)); }

HttpRespon::HttpRespon(int status, std::string body) : status_(status), body_(std::move(body)) {}

const char* HttpRespon::getBody() { return body_.c_str(); }

int HttpRespon::getBodySize() { return static_cast<int>(body_.size()); }

int HttpRespon::getStatus() { return status_; }

HttpRequest* HttpClient::createRequest(const char* method, const char* url) { return new HttpRequest(method, url); }

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* out) {
  if (out != nullptr) *out = 200;
  return new HttpRespon(200, cannedReply(request->path_));
}

void HttpClient::deleteRequest(HttpRequest*& request) {
  delete request;
  request = nullptr;
}

void HttpClient::deleteRespon(HttpRespon*& respon) {
  delete respon;
  respon = nullptr;
}

HttpLogin* HttpLogin::getInstance() {
  static HttpLogin* instance = new HttpLogin;
  return instance;
}

std::string HttpLogin::getToken() { return "canned-token"; }

void HttpLogin::forgetToken(const std::string&) {}
