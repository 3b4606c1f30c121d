#include "communicator/httpexchange.h"

#include "communicator/curlhandle.h"
#include "communicator/deviceroute.h"
#include "communicator/exchangefailure.h"
#include "communicator/resourceurl.h"

#include <algorithm>
#include <array>
#include <new>

namespace LCD {
namespace Communicator {
namespace {

constexpr char kOutOfMemory[] = "out of memory";

thread_local const char* lastFailure = "";

class HeaderList {
 public:
  HeaderList() = default;
  ~HeaderList() { curl_slist_free_all(list_); }
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;

  void append(const std::string& line) {
    curl_slist* grown = curl_slist_append(list_, line.c_str());
    if (grown == nullptr) {
      throw std::bad_alloc();
    }
    list_ = grown;
  }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// libcurl sends "Name:" as no header at all, so an empty value needs "Name;".
std::string headerLine(const std::string& name, const std::string& value) {
  return value.empty() ? name + ";" : name + ": " + value;
}

// Headers libcurl would add by itself; "Name:" keeps each of them out unless
// the caller set it. Expect would also stall large bodies for a 100-continue.
void suppressDefaultHeaders(const HeaderFields& headers, HeaderList& list) {
  static constexpr std::array<const char*, 3> defaults{"Accept", "Content-Type", "Expect"};
  for (const char* name : defaults) {
    if (findHeader(headers, name) == nullptr) {
      list.append(std::string(name) + ":");
    }
  }
}

// Methods that carry a body get a Content-Length even when it is empty: a
// server may otherwise read such a request's body until the connection closes.
bool sendsBody(const std::string& method, const std::string& body) {
  return !body.empty() || method == "PUT" || method == "POST" || method == "PATCH";
}

// A method or header that would split or corrupt the request line or head.
bool isSendable(const std::string& method, const HeaderFields& headers) {
  return isToken(method) && std::all_of(headers.begin(), headers.end(), [](const auto& field) {
           return isToken(field.first) && isFieldValue(field.second);
         });
}

struct Reply {
  std::string body;
  std::size_t limit;
  const char* failure = nullptr;
};

// Nothing may unwind through libcurl: a short count aborts the transfer instead.
size_t keepReply(char* data, size_t size, size_t count, void* target) noexcept {
  auto* reply = static_cast<Reply*>(target);
  const size_t bytes = size * count;
  if (bytes > reply->limit - reply->body.size()) {
    reply->failure = "reply too large";
    return 0;
  }
  try {
    reply->body.append(data, bytes);
  } catch (...) {
    reply->failure = kOutOfMemory;
    return 0;
  }
  return bytes;
}

const char* causeOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return "could not resolve";
    case CURLE_COULDNT_CONNECT: return "refused";
    case CURLE_OPERATION_TIMEDOUT: return "timed out";
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return "unsupported URL";
    case CURLE_OUT_OF_MEMORY: return kOutOfMemory;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR: return "connection lost";
    default: return curl_easy_strerror(code);
  }
}

ExchangeResult failure(int status, const char* cause) {
  lastFailure = cause;
  return {status, {}};
}

void setRequest(CURL* curl, const std::string& url, const std::string& method, const HeaderList& list,
                const std::string& body, long timeoutMs) {
  routeToDevice(curl, url.c_str(), timeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.get());
  if (sendsBody(method, body)) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
}

}  // namespace

const char* lastExchangeFailure() { return lastFailure; }

void recordExchangeFailure(const char* cause) { lastFailure = cause; }

ExchangeResult performExchange(const DeviceSettings& device, const std::string& method, const std::string& path,
                               const HeaderFields& headers, const std::string& body, std::size_t replyLimit) {
  if (!deviceUrlProblem(device.url).empty()) {
    return failure(kFailedLocally, "bad device URL");
  }
  if (!isSendable(method, headers)) {
    return failure(kFailedLocally, "request not sendable");
  }
  CURL* curl = threadCurlHandle();
  if (curl == nullptr) {
    return failure(kFailedLocally, kOutOfMemory);
  }
  // Keeps the open connections and clears all else the last exchange left,
  // whether it succeeded or not.
  curl_easy_reset(curl);

  HeaderList list;
  for (const auto& [name, value] : headers) {
    list.append(headerLine(name, value));
  }
  suppressDefaultHeaders(headers, list);
  const std::string url = resourceUrl(device.url, path);
  setRequest(curl, url, method, list, body, device.timeoutMs);
  Reply reply{{}, replyLimit};
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, keepReply);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);

  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    return failure(-static_cast<int>(code), reply.failure != nullptr ? reply.failure : causeOf(code));
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  lastFailure = "";
  return {static_cast<int>(status), std::move(reply.body)};
}

}  // namespace Communicator
}  // namespace LCD
