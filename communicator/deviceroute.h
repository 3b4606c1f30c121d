#pragma once

#include <curl/curl.h>

namespace LCD {
namespace Communicator {

// How every transfer reaches the device, the report stream's included:
// HTTP/1.1 over http or https, directly (a proxy named in the environment
// never applies), without signals, and through the threaded resolver, which
// gives up on a silent name server at the connect time-out; QUICK_EXIT keeps
// cleanup from waiting for that lookup to end.
inline void routeToDevice(CURL* curl, const char* url, long connectTimeoutMs) {
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
}

}  // namespace Communicator
}  // namespace LCD
