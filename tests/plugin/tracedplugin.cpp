#include "tests/plugin/tracedplugin.h"

#include "tests/plugin/tracedevice.h"

TracedPlugin::TracedPlugin(Services services, bool initialised) : library(LCD_PLUGIN_PATH), host(trace, services) {
  library.init(&host);
  descriptor = library.info().components[0];
  component = descriptor->creator();
  if (initialised) deliver(kEventType, kInitialise);
  creation.swap(trace);
}

TracedPlugin::~TracedPlugin() { descriptor->deletor(component); }

const wyn::IMessage* TracedPlugin::deliver(std::uint32_t type, std::uint32_t id, const void* data, int size) {
  const TraceMessage message(trace, type, id, data, size);
  return descriptor->getMessageHandler(component)->handleMessage(&message);
}

const wyn::IMessage* TracedPlugin::command(std::uint32_t id, const void* data, int size,
                                           const std::optional<std::string>& reply) {
  TraceDevice::use(&trace, {"token-1", reply});
  const wyn::IMessage* answer = deliver(kCommandType, id, data, size);
  TraceDevice::use(nullptr, {});
  return answer;
}

void TracedPlugin::report(std::uint32_t id, const std::string& text) {
  deliver(kEventType, id, text.c_str(), static_cast<int>(text.size() + 1));
}
