#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/pluginlibrary.h"
#include "tests/plugin/trace.h"
#include "tests/plugin/tracehost.h"

constexpr std::uint32_t kCommandType = 0xF0000001u;
constexpr std::uint32_t kEventType = 0xF0000002u;

// The plug-in loaded from the build tree into a tracing host, with one
// component made by its own descriptor.
class TracedPlugin {
 public:
  explicit TracedPlugin(Services services = {}, bool initialised = true);
  ~TracedPlugin();
  TracedPlugin(const TracedPlugin&) = delete;
  TracedPlugin& operator=(const TracedPlugin&) = delete;

  // One message to the component; a device exchange it makes meanwhile
  // answers `reply` (none: no response).
  const wyn::IMessage* deliver(std::uint32_t type, std::uint32_t id, const void* data, int size,
                               const std::optional<std::string>& reply);

  Trace trace;
  // What making (and initialising) the component traced.
  Trace creation;
  TraceLog log{trace};
  LCD::Host::PluginLibrary library;
  TraceHost host;
  const wyn::ComponentInfo* descriptor;
  void* component;
};
