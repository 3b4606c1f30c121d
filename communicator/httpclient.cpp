#include "layercutout/httpclient.h"

#include "communicator/exchangefailure.h"
#include "communicator/httpexchange.h"
#include "layercutout/httplogin.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"

#include <new>

namespace {

using namespace LCD::Communicator;

// A device reply is a few KiB: the bound only keeps a broken or hostile
// device from filling the host's memory.
constexpr std::size_t kReplyLimit = 8 << 20;
constexpr int kUnauthorized = 401;

}  // namespace

HttpRequest* HttpClient::createRequest(const char* method, const char* url) {
  return new HttpRequest(method != nullptr ? method : "", url != nullptr ? url : "");
}

HttpRespon* HttpClient::sendRequest(HttpRequest* request, int* out) {
  int status = kFailedLocally;
  HttpRespon* respon = nullptr;
  try {
    if (request == nullptr) {
      recordExchangeFailure("no request");
    } else {
      ExchangeResult result = performExchange(deviceSettings(), request->method_, request->path_, request->headers_,
                                              request->body_, kReplyLimit);
      status = result.status;
      if (status == kUnauthorized) {
        const std::string* token = findHeader(request->headers_, "Authorization");
        HttpLogin::getInstance()->forgetToken(token != nullptr ? *token : std::string());
      }
      if (result.answered()) {
        respon = new HttpRespon(status, std::move(result.body));
      }
    }
  } catch (const std::bad_alloc&) {
    status = kFailedLocally;
    recordExchangeFailure("out of memory");
  } catch (...) {
    status = kFailedLocally;
    recordExchangeFailure("internal error");
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
