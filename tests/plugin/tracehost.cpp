#include "tests/plugin/tracehost.h"

#include <QString>
#include <cstdio>
#include <cstring>

#include "layercutout/messageids.h"
#include "message/ireply.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace {

Trace untraced;

class Reply : public wyn::IReply {
 public:
  Reply(Trace& trace, const std::vector<unsigned char>& bytes) : trace_(trace), bytes_(bytes) {}
  const wyn::IMessage* getMessage() const override { return nullptr; }
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

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

std::string describeMessage(std::uint32_t id, int size, const void* data, const std::string& sender) {
  return hex(id) + ", " + std::to_string(size) + ", " + describePayload(id, data, size) + ", " + sender;
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

TraceHost::TraceHost(Trace& t, Services offered)
    : center(*this), commands(*this), events(*this), trace(t), made(untraced, 0, 0, nullptr, 0), offered_(offered) {}

void* TraceHost::getService(const char* name) {
  trace.push_back("api.getService(" + std::string(name) + ")");
  const std::string wanted = name;
  if (wanted == wyn::kMessageCenterService && offered_.messageCenter) return &center;
  if (wanted == wyn::kCommandDispatcherService && offered_.commandDispatcher) return &commands;
  if (wanted == wyn::kEventDispatcherService && offered_.eventDispatcher) return &events;
  return nullptr;
}

wyn::IMessage* TraceHost::Center::createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                                int flags) {
  host.trace.push_back("center.createMessage(" + hex(id) + ", " + sender + ", " + std::to_string(size) + ", " +
                       describePayload(id, data, size) + ", " + std::to_string(flags) + ")");
  return &host.made;
}

wyn::IMessage* TraceHost::Commands::createMessage(std::uint32_t id, int size, const void* data,
                                                  const std::string& sender) {
  host.trace.push_back("commands.createMessage(" + describeMessage(id, size, data, sender) + ")");
  return &host.made;
}

void TraceHost::Commands::releaseMessage(wyn::IMessage** msg) {
  const bool isReply = reply && *msg == wyn::releasable(reply.get());
  host.trace.push_back(std::string("commands.releaseMessage(") +
                       (*msg == nullptr ? "null"
                        : isReply       ? "reply"
                                        : "request") +
                       ")");
  if (isReply) reply.reset();
  *msg = nullptr;
}

int TraceHost::Commands::dispatch(wyn::IMessage**, wyn::IReply** answer, int flags) {
  host.trace.push_back("commands.dispatch(" + std::to_string(flags) + ")");
  if (!answerBytes.empty()) reply = std::make_unique<Reply>(host.trace, answerBytes);
  *answer = reply.get();
  return 0;
}

int TraceHost::Commands::addHandler(int id, std::string name) {
  return host.trace.push_back("commands.addHandler(" + hex(static_cast<std::uint32_t>(id)) + ", " + name + ")"), 0;
}

wyn::IMessage* TraceHost::Events::createMessage(std::uint32_t id, int size, const void* data,
                                                const std::string& sender) {
  host.trace.push_back("events.createMessage(" + describeMessage(id, size, data, sender) + ")");
  return &host.made;
}

int TraceHost::Events::addHandler(int id, std::string name) {
  return host.trace.push_back("events.addHandler(" + hex(static_cast<std::uint32_t>(id)) + ", " + name + ")"), 0;
}

std::string logLine(QtMsgType level, const std::string& function, const std::string& text) {
  return levelName(level) + "[layercutoutmodel, default, " + function + "]: " + text;
}

TraceLog::TraceLog(Trace& trace) : previous_(qInstallMessageHandler(&traceLogMessage)) { logTarget = &trace; }

TraceLog::~TraceLog() {
  qInstallMessageHandler(previous_);
  logTarget = nullptr;
}
