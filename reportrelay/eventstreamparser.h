#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace LCD::Relay {

// One event of a text/event-stream.
struct StreamEvent {
  std::string type;  // "message" unless an "event" field named another
  std::string data;  // the "data" fields, joined by line feeds
  std::string id;    // the stream's last event id when the event ended
};

// The events of a text/event-stream fed in pieces as they arrive, by the
// stream's rules: a leading byte order mark is skipped; lines end at CR LF,
// LF or CR; a line that starts with a colon is a comment; a line without a
// colon is a field with an empty value; one space after the colon is not part
// of the value; the fields are "event", "data", "id" (kept across events;
// one holding a NUL is ignored) and "retry" (digits only), others are
// ignored; a blank line ends an event, and an event without data is none.
class EventStreamParser {
 public:
  using EventHandler = std::function<void(const StreamEvent& event)>;

  // An event (its data and the line being read) may hold `longestEvent` bytes.
  EventStreamParser(std::size_t longestEvent, EventHandler onEvent);

  // Calls the handler for each event the bytes complete; false, with the
  // stream unusable, when an event grows past its bound.
  bool feed(const char* bytes, std::size_t size);

  // The reconnection time the stream asked for, in milliseconds, if any.
  std::optional<long> retryMs() const { return retryMs_; }

 private:
  bool skipByteOrderMark(const char*& bytes, const char* end);
  void endLine();
  void field(const std::string& name, const std::string& value);
  void endEvent();

  const std::size_t longestEvent_;
  const EventHandler onEvent_;
  std::size_t markSeen_ = 0;  // bytes of the byte order mark checked so far
  bool afterCr_ = false;      // the last line ended at a CR: a LF next belongs to it
  std::string line_;
  std::string type_;
  std::string data_;
  bool hasData_ = false;
  std::string lastId_;
  std::optional<long> retryMs_;
};

}  // namespace LCD::Relay
