#include "devicesim/requestlog.h"

namespace LCD {
namespace DeviceSim {
void RequestLog::record(RecordedRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(std::move(request));
}

std::vector<RecordedRequest> RequestLog::all() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void RequestLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

}  // namespace DeviceSim
}  // namespace LCD
