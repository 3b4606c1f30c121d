#include "communicator/httpexchange.h"

#include "communicator/curlhandle.h"

#include <strings.h>

#include <algorithm>
#include <array>

namespace LCD {
namespace Communicator {
namespace {

class HeaderList {
 public:
  HeaderList() = default;
  ~HeaderList() { curl_slist_free_all(list_); }
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;

  void append(const std::string& line) { list_ = curl_slist_append(list_, line.c_str()); }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

bool hasHeader(const HeaderFields& headers, const char* name) {
  return std::any_of(headers.begin(), headers.end(),
                     [name](const auto& field) { return strcasecmp(field.first.c_str(), name) == 0; });
}

// libcurl sends "Name:" as no header at all, so an empty value needs "Name;".
std::string headerLine(const std::string& name, const std::string& value) {
  return value.empty() ? name + ";" : name + ": " + value;
}

// Headers libcurl would add by itself; "Name:" keeps each of them out unless
// the caller set it. Expect would also stall large bodies for a 100-continue.
void suppressDefaultHeaders(const HeaderFields& headers, HeaderList& list) {
  static constexpr std::array<const char*, 3> defaults{"Accept", "Content-Type", "Expect"};
  for (const char* name : defaults) {
    if (!hasHeader(headers, name)) {
      list.append(std::string(name) + ":");
    }
  }
}

// Methods that carry a body get a Content-Length even when it is empty: a
// server may otherwise read such a request's body until the connection closes.
bool sendsBody(const std::string& method, const std::string& body) {
  return !body.empty() || method == "PUT" || method == "POST" || method == "PATCH";
}

size_t appendToBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

}  // namespace

ExchangeResult performExchange(const std::string& method, const std::string& url, const HeaderFields& headers,
                               const std::string& body, long timeoutMs) {
  CURL* curl = threadCurlHandle();
  curl_easy_reset(curl);  // keeps the open connections, clears the last request

  HeaderList list;
  for (const auto& [name, value] : headers) {
    list.append(headerLine(name, value));
  }
  suppressDefaultHeaders(headers, list);

  ExchangeResult result{0, {}};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_PROXY, "");  // the device is always reached directly
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.get());
  if (sendsBody(method, body)) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendToBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);

  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    return {-static_cast<int>(code), {}};
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  result.status = static_cast<int>(status);
  return result;
}

}  // namespace Communicator
}  // namespace LCD
