#include "devicesim/requestlog.h"

#include <strings.h>

#include <algorithm>

namespace LCD {
namespace DeviceSim {
namespace {

auto sameName(const std::string& name) {
  return [&name](const auto& field) { return strcasecmp(field.first.c_str(), name.c_str()) == 0; };
}

}  // namespace

bool RecordedRequest::hasHeader(const std::string& name) const {
  return std::any_of(headers.begin(), headers.end(), sameName(name));
}

std::string RecordedRequest::header(const std::string& name) const {
  const auto field = std::find_if(headers.begin(), headers.end(), sameName(name));
  return field != headers.end() ? field->second : std::string();
}

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
