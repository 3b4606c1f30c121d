#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace LCD {
namespace DeviceSim {

// One request as it reached the simulated device.
struct RecordedRequest {
  std::string method;
  std::string path;
  std::string body;
  int remotePort;  // tells the client's connections apart
};

// Every request the simulator received, in arrival order. Thread-safe.
class RequestLog {
 public:
  void record(RecordedRequest request);
  std::vector<RecordedRequest> all() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace DeviceSim
}  // namespace LCD
