#include "layercutout/httpclient.h"

#include "communicator/httpexchange.h"
#include "communicator/resourceurl.h"
#include "communicator/settingsstore.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

using namespace LCD::Communicator;

constexpr int kUnsendable = -1;
constexpr int kUnauthorized = 401;

bool isToken(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
    return std::isalnum(c) != 0 || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
  });
}

bool isFieldValue(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

// A method or header that would split or corrupt the request line or headers.
bool isSendable(const std::string& method, const HeaderFields& headers) {
  return isToken(method) && std::all_of(headers.begin(), headers.end(), [](const auto& field) {
           return isToken(field.first) && isFieldValue(field.second);
         });
}

std::string authorizationOf(const HeaderFields& headers) {
  const auto field = std::find_if(headers.begin(), headers.end(),
                                  [](const auto& f) { return strcasecmp(f.first.c_str(), "Authorization") == 0; });
  return field != headers.end() ? field->second : std::string();
}

}  // namespace

HttpRequest* HttpClient::createRequest(const char* method, const char* url) {
  return new HttpRequest(method != nullptr ? method : "", url != nullptr ? url : "");
}

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* out) {
  int status = kUnsendable;
  HttpRespon* respon = nullptr;
  if (request != nullptr && isSendable(request->method_, request->headers_)) {
    const DeviceSettings settings = settingsSnapshot().settings;
    ExchangeResult result = performExchange(request->method_, resourceUrl(settings.url, request->path_),
                                            request->headers_, request->body_, settings.timeoutMs);
    status = result.status;
    if (result.answered()) {
      respon = new HttpRespon(result.status, std::move(result.body));
    }
    if (status == kUnauthorized) {
      HttpLogin::getInstance()->forgetToken(authorizationOf(request->headers_));
    }
  }
  if (out != nullptr) {
    *out = status;
  }
  return respon;
}

void HttpClient::deleteRequest(HttpRequest*& request) {
  delete request;
  request = nullptr;
}

void HttpClient::deleteRespon(HttpRespon*& respon) {
  delete respon;
  respon = nullptr;
}
