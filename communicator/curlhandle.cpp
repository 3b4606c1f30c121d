#include "communicator/curlhandle.h"

#include <mutex>
#include <stdexcept>

namespace LCD {
namespace Communicator {
namespace {

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw std::runtime_error("libcurl could not be initialised");
    }
  });
}

class ThreadHandle {
 public:
  ThreadHandle() : handle_(curl_easy_init()) {
    if (handle_ == nullptr) {
      throw std::runtime_error("libcurl could not create a handle");
    }
  }
  ~ThreadHandle() { curl_easy_cleanup(handle_); }
  ThreadHandle(const ThreadHandle&) = delete;
  ThreadHandle& operator=(const ThreadHandle&) = delete;

  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};

}  // namespace

CURL* threadCurlHandle() {
  initialiseCurlOnce();
  thread_local ThreadHandle handle;
  return handle.get();
}

}  // namespace Communicator
}  // namespace LCD
