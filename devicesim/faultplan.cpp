#include "devicesim/faultplan.h"

namespace LCD {
namespace DeviceSim {

void FaultPlan::add(const std::string& path, const Fault& fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_[path].push_back(fault);
}

std::optional<Fault> FaultPlan::take(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto pending = faults_.find(path);
  if (pending == faults_.end() || pending->second.empty()) {
    return std::nullopt;
  }
  const Fault fault = pending->second.front();
  if (!fault.sticky) {
    pending->second.pop_front();
  }
  return fault;
}

void FaultPlan::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.clear();
}

}  // namespace DeviceSim
}  // namespace LCD
