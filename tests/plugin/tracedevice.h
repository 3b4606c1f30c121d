#pragma once

#include <optional>
#include <string>
#include <vector>

// One sequence of everything the plug-in does outside itself: the host
// interface slots it calls, the device library calls and the messages it
// logs, each as one line.
using Trace = std::vector<std::string>;

// What a partner does with the caller's pointer when it takes an object back.
// Each is allowed, so the plug-in must behave the same under all three.
enum class Handback { Reset, Leave, Poison };
constexpr Handback kHandbacks[] = {Handback::Reset, Handback::Leave, Handback::Poison};

// A stand-in for the device library, built as liblcdcommunicator.so.1 so that
// a plug-in loaded into a process that links it calls it instead of the real
// one. It is as strict as the library's contract allows: released objects are
// freed at once, a call on one shows in the trace as "... on a released
// object", the reply body sits unterminated in memory freed with the reply,
// the token lives on the heap and only until its holder drops it, and a body
// changed before its request is deleted shows too.
namespace TraceDevice {

// Calls trace into `trace` (none: not traced); a request sent is answered
// with `reply` (none: sendRequest returns null, no response).
void use(Trace* trace, const std::optional<std::string>& reply, Handback handback);

}  // namespace TraceDevice
