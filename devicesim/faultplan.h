#pragma once

#include "devicesim/fault.h"

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace LCD {
namespace DeviceSim {

// The faults waiting for each path, in the order they were added. Thread-safe.
class FaultPlan {
 public:
  void add(const std::string& path, const Fault& fault);

  // The fault for the next reply on `path`, if any; one-shot faults are used up.
  std::optional<Fault> take(const std::string& path);

  void clear();

 private:
  std::mutex mutex_;
  std::map<std::string, std::deque<Fault>> faults_;
};

}  // namespace DeviceSim
}  // namespace LCD
