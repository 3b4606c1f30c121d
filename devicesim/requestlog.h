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
  // As the server parsed them: ordered by name, values URL-decoded, and a
  // header sent with an empty value left out.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int remotePort;  // tells the client's connections apart

  bool hasHeader(const std::string& name) const;
  // The first value of a header (name compared without case); empty if absent.
  std::string header(const std::string& name) const;
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
