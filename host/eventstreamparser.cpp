#include "host/eventstreamparser.h"

#include <cstring>
#include <utility>

namespace LCD::Host {

EventStreamParser::EventStreamParser(std::size_t longestEvent, EventHandler onEvent)
    : longestEvent_(longestEvent), onEvent_(std::move(onEvent)) {}

bool EventStreamParser::feed(const char* bytes, std::size_t size) {
  const char* const end = bytes + size;
  while (bytes != end) {
    const auto* newline = static_cast<const char*>(std::memchr(bytes, '\n', static_cast<std::size_t>(end - bytes)));
    const char* const lineEnd = newline != nullptr ? newline : end;
    if (data_.size() + line_.size() + static_cast<std::size_t>(lineEnd - bytes) > longestEvent_) {
      return false;
    }
    line_.append(bytes, lineEnd);
    if (newline == nullptr) {
      break;
    }
    endLine();
    bytes = newline + 1;
  }
  return true;
}

void EventStreamParser::endLine() {
  if (!line_.empty() && line_.back() == '\r') {
    line_.pop_back();
  }
  if (line_.empty()) {
    if (hasData_) {
      onEvent_(data_);
    }
    data_.clear();
    hasData_ = false;
  } else if (line_.compare(0, 5, "data:") == 0) {
    if (hasData_) {
      data_ += '\n';
    }
    data_.append(line_, line_.size() > 5 && line_[5] == ' ' ? 6 : 5);
    hasData_ = true;
  }
  line_.clear();
}

}  // namespace LCD::Host
