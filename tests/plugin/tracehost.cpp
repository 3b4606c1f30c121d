#include "tests/plugin/tracehost.h"

#include <QString>
#include <cstdio>
#include <cstring>

#include "layercutout/messageids.h"
#include "message/ireply.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace {

std::string hex(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(id));
  return text;
}

std::string message(std::uint32_t id, int size, const void* data, const std::string& sender) {
  return hex(id) + ", " + std::to_string(size) + ", " + describePayload(id, data, size) + ", " + sender;
}

// What the host's services hand out; the plug-in only passes them back.
Trace untraced;
TraceMessage made(untraced, 0, 0, nullptr, 0);

class Reply : public wyn::IReply {
 public:
  Reply(Trace& trace, const std::vector<unsigned char>& bytes) : trace_(trace), bytes_(bytes) {}
  const wyn::IMessage* getMessage() const override { return &made; }
  const void* getData() const override { return trace_.push_back("reply.getData"), bytes_.data(); }
  int getDataSize() const override { return trace_.push_back("reply.getDataSize"), static_cast<int>(bytes_.size()); }

 private:
  Trace& trace_;
  std::vector<unsigned char> bytes_;
};

Trace* logTarget = nullptr;

std::string levelName(QtMsgType level) {
  return level == QtWarningMsg ? "warning" : level == QtCriticalMsg ? "critical" : std::to_string(level);
}

void traceLogMessage(QtMsgType level, const QMessageLogContext& context, const QString& text) {
  const auto orEmpty = [](const char* s) { return std::string(s == nullptr ? "" : s); };
  if (logTarget != nullptr)
    logTarget->push_back(levelName(level) + "[" + orEmpty(context.file) + ", " + orEmpty(context.category) + ", " +
                         orEmpty(context.function) + "]: " + text.toStdString());
}

}  // namespace

std::string logLine(QtMsgType level, const std::string& function, const std::string& text) {
  return levelName(level) + "[layercutoutmodel, default, " + function + "]: " + text;
}

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

TraceMessage::TraceMessage(Trace& trace, std::uint32_t type, std::uint32_t id, const void* data, int size)
    : trace_(trace), type_(type), id_(id), data_(data), size_(size) {}
std::uint32_t TraceMessage::getType() const { return trace_.push_back("msg.getType"), type_; }
std::uint32_t TraceMessage::getId() const { return trace_.push_back("msg.getId"), id_; }
int TraceMessage::getDataSize() const { return trace_.push_back("msg.getDataSize"), size_; }
const void* TraceMessage::getData() const { return trace_.push_back("msg.getData"), data_; }
const char* TraceMessage::getSender() const { return trace_.push_back("msg.getSender"), "sender"; }

wyn::IMessage* TraceHost::Center::createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                                int flags) {
  trace.push_back("center.createMessage(" + hex(id) + ", " + sender + ", " + std::to_string(size) + ", " +
                  describePayload(id, data, size) + ", " + std::to_string(flags) + ")");
  return &made;
}
void TraceHost::Center::releaseMessage(wyn::IMessage**) { trace.push_back("center.releaseMessage"); }

wyn::IMessage* TraceHost::Commands::createMessage(std::uint32_t id, int size, const void* data,
                                                  const std::string& sender) {
  trace.push_back("commands.createMessage(" + message(id, size, data, sender) + ")");
  return &made;
}
void TraceHost::Commands::releaseMessage(wyn::IMessage** msg) {
  const bool isReply = reply && *msg == wyn::releasable(reply.get());
  trace.push_back(std::string("commands.releaseMessage(") +
                  (*msg == nullptr ? "null"
                   : isReply       ? "reply"
                                   : "request") +
                  ")");
  if (isReply) reply.reset();
  *msg = nullptr;
}
int TraceHost::Commands::dispatch(wyn::IMessage**, wyn::IReply** answer, int flags) {
  trace.push_back("commands.dispatch(" + std::to_string(flags) + ")");
  if (!answerBytes.empty()) reply = std::make_unique<Reply>(trace, answerBytes);
  *answer = reply.get();
  return 0;
}
void TraceHost::Commands::hostReserved() { trace.push_back("commands.hostReserved"); }
int TraceHost::Commands::addHandler(int id, std::string name) {
  return trace.push_back("commands.addHandler(" + hex(static_cast<std::uint32_t>(id)) + ", " + name + ")"), 0;
}

wyn::IMessage* TraceHost::Events::createMessage(std::uint32_t id, int size, const void* data,
                                                const std::string& sender) {
  trace.push_back("events.createMessage(" + message(id, size, data, sender) + ")");
  return &made;
}
void TraceHost::Events::releaseMessage(wyn::IMessage**) { trace.push_back("events.releaseMessage"); }
int TraceHost::Events::post(wyn::IMessage**) { return trace.push_back("events.post"), 0; }
int TraceHost::Events::dispatchPending() { return trace.push_back("events.dispatchPending"), 0; }
int TraceHost::Events::send(wyn::IMessage**, int mode) {
  return trace.push_back("events.send(" + std::to_string(mode) + ")"), 0;
}
int TraceHost::Events::addHandler(int id, std::string name) {
  return trace.push_back("events.addHandler(" + hex(static_cast<std::uint32_t>(id)) + ", " + name + ")"), 0;
}

const char* TraceHost::getApiVersion() const { return trace_.push_back("api.getApiVersion"), "0.1"; }

void* TraceHost::getService(const char* name) {
  trace_.push_back("api.getService(" + std::string(name) + ")");
  const std::string wanted = name;
  if (wanted == wyn::kMessageCenterService && offered_.messageCenter) return &center;
  if (wanted == wyn::kCommandDispatcherService && offered_.commandDispatcher) return &commands;
  if (wanted == wyn::kEventDispatcherService && offered_.eventDispatcher) return &events;
  return nullptr;
}

TraceLog::TraceLog(Trace& trace) : previous_(qInstallMessageHandler(&traceLogMessage)) { logTarget = &trace; }

TraceLog::~TraceLog() {
  qInstallMessageHandler(previous_);
  logTarget = nullptr;
}
