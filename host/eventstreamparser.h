#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace LCD::Host {

// The data of each event in a text/event-stream fed in pieces as they arrive.
// Only "data" fields count (several join with a line feed); comments and other
// fields are skipped, and an event without data is no event.
class EventStreamParser {
 public:
  using EventHandler = std::function<void(const std::string& data)>;

  // An event (its data and the line being read) may hold `longestEvent` bytes.
  EventStreamParser(std::size_t longestEvent, EventHandler onEvent);

  // Calls the handler for each event the bytes complete; false, with the
  // stream unusable, when an event grows past its bound.
  bool feed(const char* bytes, std::size_t size);

 private:
  void endLine();

  const std::size_t longestEvent_;
  const EventHandler onEvent_;
  std::string line_;
  std::string data_;
  bool hasData_ = false;
};

}  // namespace LCD::Host
