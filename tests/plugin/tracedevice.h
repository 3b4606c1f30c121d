#pragma once

#include <optional>
#include <string>
#include <vector>

// One sequence of everything the plug-in does outside itself: the host
// interface slots it calls, the device library calls and the messages it
// logs, each as one line.
using Trace = std::vector<std::string>;

// A stand-in for the device library, built as liblcdcommunicator.so.1 so that
// a plug-in loaded into a process that links it calls it instead of the real
// one. Every call goes into the trace with its arguments; the token is
// "token-1".
namespace TraceDevice {

// Calls trace into `trace` (none: not traced); a request sent is answered
// with `reply` (none: sendRequest returns null, no response).
void use(Trace* trace, const std::optional<std::string>& reply);

}  // namespace TraceDevice
