#pragma once

#include <optional>
#include <string>

#include "tests/plugin/trace.h"

// A stand-in for the device library, built as liblcdcommunicator.so.1 so that
// a plug-in loaded into a process that links it calls it instead of the real
// one. Every call goes into the trace with its arguments; replies are
// scripted.
namespace TraceDevice {

struct Script {
  std::string token = "token-1";
  // The reply body; none makes sendRequest return null (no response).
  std::optional<std::string> reply;
};

// Calls trace into `trace` (none: not traced) and follow `script`.
void use(Trace* trace, const Script& script);

}  // namespace TraceDevice
