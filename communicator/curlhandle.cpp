#include "communicator/curlhandle.h"

#include <memory>

namespace LCD {
namespace Communicator {
namespace {

struct HandleCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

}  // namespace

CURL* threadCurlHandle() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  thread_local std::unique_ptr<CURL, HandleCleanup> handle;
  if (initialised && !handle) {
    handle.reset(curl_easy_init());
  }
  return handle.get();
}

}  // namespace Communicator
}  // namespace LCD
