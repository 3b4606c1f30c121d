#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace LCD {
namespace DeviceSim {

enum class FaultKind {
  HttpError,       // HTTP 500 with an error envelope
  ErrorPage,       // HTTP 500 with a body that is not JSON, as a proxy would answer
  EmptyBody,       // HTTP 200 with no body at all
  GarbageBody,     // HTTP 200 with a body that is not JSON
  MissingCode,     // the normal reply without its "code" member
  TruncatedBody,   // the first half of the normal reply
  LargeBody,       // the normal reply with `padding` bytes added to "message"
  SlowReply,       // the normal reply after `delay`
  DropConnection,  // the head of the normal reply, then the connection closed before any of its body
  DropMidReply,    // the head and the first half of the normal body, then the connection closed
  FixedBody,       // HTTP 200 with `body` in place of the normal reply
};

// A fault injected into the replies for one path. The request is still
// handled (and its effect on the device kept); only the answer is spoiled.
// A one-shot fault spoils the next reply (or report); a sticky one every one
// until cleared.
struct Fault {
  FaultKind kind;
  bool sticky = false;
  std::chrono::milliseconds delay{0};
  std::size_t padding = 0;
  std::string body{};
};

}  // namespace DeviceSim
}  // namespace LCD
