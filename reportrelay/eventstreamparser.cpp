#include "reportrelay/eventstreamparser.h"

#include <algorithm>
#include <utility>

namespace LCD::Relay {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kByteOrderMarkSize = 3;
constexpr long kLongestRetryMs = 24L * 3600 * 1000;

bool isDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

EventStreamParser::EventStreamParser(std::size_t longestEvent, EventHandler onEvent)
    : longestEvent_(longestEvent), onEvent_(std::move(onEvent)) {}

bool EventStreamParser::feed(const char* bytes, std::size_t size) {
  const char* const end = bytes + size;
  if (!skipByteOrderMark(bytes, end)) {
    return true;
  }
  while (bytes != end) {
    if (std::exchange(afterCr_, false) && *bytes == '\n') {
      ++bytes;
      continue;
    }
    const char* const lineEnd = std::find_if(bytes, end, [](char c) { return c == '\n' || c == '\r'; });
    if (data_.size() + line_.size() + static_cast<std::size_t>(lineEnd - bytes) > longestEvent_) {
      return false;
    }
    line_.append(bytes, lineEnd);
    if (lineEnd == end) {
      break;
    }
    afterCr_ = *lineEnd == '\r';
    endLine();
    bytes = lineEnd + 1;
  }
  return true;
}

// False while the stream's first bytes may still be a byte order mark.
bool EventStreamParser::skipByteOrderMark(const char*& bytes, const char* end) {
  while (markSeen_ < kByteOrderMarkSize && bytes != end) {
    if (*bytes != kByteOrderMark[markSeen_]) {
      // Not a mark after all: the bytes taken for one were the stream's own.
      const std::string taken(kByteOrderMark, markSeen_);
      markSeen_ = kByteOrderMarkSize;
      line_ += taken;
      return true;
    }
    ++markSeen_;
    ++bytes;
  }
  return markSeen_ == kByteOrderMarkSize;
}

void EventStreamParser::endLine() {
  const std::string line = std::exchange(line_, {});
  if (line.empty()) {
    endEvent();
    return;
  }
  if (line.front() == ':') {
    return;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) {
    field(line, "");
    return;
  }
  const std::size_t value = colon + 1 < line.size() && line[colon + 1] == ' ' ? colon + 2 : colon + 1;
  field(line.substr(0, colon), line.substr(value));
}

void EventStreamParser::field(const std::string& name, const std::string& value) {
  if (name == "event") {
    type_ = value;
  } else if (name == "data") {
    if (hasData_) {
      data_ += '\n';
    }
    data_ += value;
    hasData_ = true;
  } else if (name == "id" && value.find('\0') == std::string::npos) {
    lastId_ = value;
  } else if (name == "retry" && isDigits(value)) {
    retryMs_ = value.size() < 9 ? std::stol(value) : kLongestRetryMs;
  }
}

void EventStreamParser::endEvent() {
  if (hasData_) {
    onEvent_({type_.empty() ? "message" : type_, data_, lastId_});
  }
  type_.clear();
  data_.clear();
  hasData_ = false;
}

}  // namespace LCD::Relay
