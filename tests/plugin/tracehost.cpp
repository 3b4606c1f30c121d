#include "tests/plugin/tracehost.h"

#include <QString>
#include <cstring>
#include <utility>

#include "layercutout/messageids.h"
#include "message/ireply.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace {

struct Reply : wyn::IReply {
  Reply(Trace& trace, const std::vector<unsigned char>& bytes) : trace(trace), bytes(bytes) {}
  const wyn::IMessage* getMessage() const override { return nullptr; }
  const void* getData() const override { return trace.push_back("reply.getData"), bytes.data(); }
  int getDataSize() const override { return trace.push_back("reply.getDataSize"), static_cast<int>(bytes.size()); }

  Trace& trace;
  const std::vector<unsigned char> bytes;
};

std::string hex(std::uint32_t value) { return "0x" + QString::number(value, 16).toStdString(); }

// Layer cutouts of a vector object as JSON, else the payload's 32-bit integers
// as a list and trailing bytes in decimal.
std::string describePayload(std::uint32_t id, const void* data, int size) {
  std::string out;
  if (data == nullptr) return "-";
  if (id == LayerCutout::MessageId::kLayerCutoutChanged && size == 24) {
    LCD::ProtoModel::encode(out, *static_cast<const std::vector<LCD::ProtoModel::Layer::s_LayerCutout>*>(data));
    return out;
  }
  for (int i = 0; i + 4 <= size; i += 4) {
    std::int32_t value = 0;
    std::memcpy(&value, static_cast<const char*>(data) + i, sizeof value);
    out += (i == 0 ? "[" : ",") + std::to_string(value);
  }
  for (int i = size - size % 4; i < size; ++i) out += std::to_string(static_cast<const unsigned char*>(data)[i]);
  return out.empty() ? "-" : size % 4 == 0 ? out + "]" : out;
}

Trace* logTarget = nullptr;

void traceLogMessage(QtMsgType level, const QMessageLogContext& context, const QString& text) {
  const auto orEmpty = [](const char* s) { return std::string(s == nullptr ? "" : s); };
  static const char* const kLevels[] = {"debug", "warning", "critical", "fatal", "info"};
  logTarget->push_back(std::string(kLevels[level]) + "[" + orEmpty(context.file) + ", " + orEmpty(context.category) +
                       ", " + orEmpty(context.function) + "]: " + text.toStdString());
}

QtMessageHandler traceLogInto(Trace& trace) {
  logTarget = &trace;
  return qInstallMessageHandler(&traceLogMessage);
}

}  // namespace

void* TraceHost::getService(const char* name) {
  trace.push_back("api.getService(" + std::string(name) + ")");
  const std::string wanted = name;
  if (withheld_.count(wanted) != 0) return nullptr;
  if (wanted == wyn::kMessageCenterService) return &center;
  if (wanted == wyn::kCommandDispatcherService) return &commands;
  return wanted == wyn::kEventDispatcherService ? &events : nullptr;
}

int TraceHost::added(const std::string& service, int id, const std::string& name) {
  return trace.push_back(service + ".addHandler(" + hex(static_cast<std::uint32_t>(id)) + ", " + name + ")"), 0;
}

bool TraceHost::takeAnswer(const wyn::IMessage* answer) { return held_.takeBack(answer); }

// The payload is read while the call lasts (into the trace line) and never
// after, as the contract allows.
wyn::IMessage* TraceHost::madeMessage(const char* service, std::uint32_t id, int size, const void* data,
                                      const std::string& from) {
  trace.push_back(std::string(service) + ".createMessage(" + hex(id) + ", " + std::to_string(size) + ", " +
                  describePayload(id, data, size) + ", " + from + ")");
  return held_.handOut(std::make_unique<TraceMessage>(trace, 0, 0, nullptr, 0));
}

void TraceHost::handBackMessage(const std::string& call, wyn::IMessage** msg) {
  if (*msg != nullptr && !held_.takeBack(*msg)) return trace.push_back(call + " on a released object");
  trace.push_back(call);
  handBack(*msg, handback_);
}

void TraceHost::Commands::releaseMessage(wyn::IMessage** msg) {
  const char* which = *msg == nullptr ? "null" : *msg == host.reply_ ? "reply" : "request";
  host.handBackMessage(std::string("commands.releaseMessage(") + which + ")", msg);
}

int TraceHost::Commands::dispatch(wyn::IMessage**, wyn::IReply** answer, int flags) {
  host.trace.push_back("commands.dispatch(" + std::to_string(flags) + ")");
  *answer = answerBytes.empty() ? nullptr : host.held_.handOut(std::make_unique<Reply>(host.trace, answerBytes));
  host.reply_ = *answer;
  return 0;
}

TracedPlugin::TracedPlugin(Handback mode, std::set<std::string> withheldServices, bool initialised)
    : handback(mode),
      previousLog(traceLogInto(trace)),
      library(LCD_PLUGIN_PATH),
      host(trace, mode, std::move(withheldServices)) {
  library.init(&host);
  descriptor = library.info().components[0];
  component = descriptor->creator();
  if (initialised) deliver(kEventType, 0xFFFF0000u, nullptr, 0, std::nullopt);
  creation.swap(trace);
}

TracedPlugin::~TracedPlugin() {
  descriptor->deletor(component);
  qInstallMessageHandler(previousLog);
}

bool TracedPlugin::deliver(std::uint32_t type, std::uint32_t id, const void* data, int size,
                           const std::optional<std::string>& reply) {
  TraceDevice::use(&trace, reply, handback);
  const TraceMessage message(trace, type, id, data, size);
  const wyn::IMessage* answer = descriptor->getMessageHandler(component)->handleMessage(&message);
  TraceDevice::use(nullptr, std::nullopt, Handback::Reset);
  if (answer != nullptr && !host.takeAnswer(answer)) trace.push_back("answer not made by the message center");
  return answer != nullptr;
}
