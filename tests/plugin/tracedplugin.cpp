#include "tests/plugin/tracedplugin.h"

#include "tests/plugin/tracedevice.h"

TracedPlugin::TracedPlugin(Services services, bool initialised) : library(LCD_PLUGIN_PATH), host(trace, services) {
  library.init(&host);
  descriptor = library.info().components[0];
  component = descriptor->creator();
  if (initialised) deliver(kEventType, 0xFFFF0000u, nullptr, 0, std::nullopt);
  creation.swap(trace);
}

TracedPlugin::~TracedPlugin() { descriptor->deletor(component); }

const wyn::IMessage* TracedPlugin::deliver(std::uint32_t type, std::uint32_t id, const void* data, int size,
                                           const std::optional<std::string>& reply) {
  TraceDevice::use(&trace, {"token-1", reply});
  const TraceMessage message(trace, type, id, data, size);
  const wyn::IMessage* answer = descriptor->getMessageHandler(component)->handleMessage(&message);
  TraceDevice::use(nullptr, {});
  return answer;
}
