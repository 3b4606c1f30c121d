#pragma once

#include <curl/curl.h>

#include <atomic>
#include <functional>
#include <string>

#include "communicator/devicesettings.h"

namespace LCD::Relay {

// The relay's libcurl transfers, run one at a time through a multi handle so
// that stop() ends the one under way at once, whatever it waits for.
class Transfers {
 public:
  Transfers();
  ~Transfers();
  Transfers(const Transfers&) = delete;
  Transfers& operator=(const Transfers&) = delete;

  // Runs `curl` to its end, or until stop() or until `keepGoing` (asked at
  // least every kCheckMs) says no; CURLE_ABORTED_BY_CALLBACK then.
  CURLcode perform(CURL* curl, const std::function<bool()>& keepGoing = nullptr);

  // From any thread; every later perform() ends at once too.
  void stop();
  bool stopped() const { return stopped_; }

  static constexpr int kCheckMs = 100;

 private:
  CURLM* const multi_;
  std::atomic<bool> stopped_{false};
};

// Why a transfer got no answer, in the communicator's few words ("refused",
// "timed out", "connection lost"...) where it has them.
std::string failureOf(CURLcode code);

// One request's answer: its HTTP status (0 when there was none, with why).
struct Answer {
  long status = 0;
  std::string body;
  std::string failure;
};

// A request to the device at `device`, on `curl`, bounded by the device's
// time-out and by `longestReply` bytes of reply.
Answer request(Transfers& transfers, CURL* curl, const Communicator::DeviceSettings& device, const char* method,
               const std::string& path, const std::string& token, const std::string& body, std::size_t longestReply);

}  // namespace LCD::Relay
