#include "tests/plugin/tracehost.h"

#include <QString>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "layercutout/messageids.h"
#include "message/ireply.h"
#include "message/status.h"
#include "proto/layercutout.h"
#include "proto/response.h"

namespace {

std::string hex(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(id));
  return text;
}

std::string call(const char* name, const std::string& arguments) { return std::string(name) + "(" + arguments + ")"; }

// A message the host made; it owns a copy of its payload.
class HostMessage : public wyn::IMessage {
 public:
  HostMessage(std::uint32_t type, std::uint32_t id, const void* data, int size) : type_(type), id_(id) {
    if (data != nullptr && size > 0)
      bytes_.assign(static_cast<const char*>(data), static_cast<const char*>(data) + size);
  }
  std::uint32_t getType() const override { return type_; }
  std::uint32_t getId() const override { return id_; }
  int getDataSize() const override { return static_cast<int>(bytes_.size()); }
  const void* getData() const override { return bytes_.data(); }
  const char* getSender() const override { return "host"; }

 private:
  std::uint32_t type_;
  std::uint32_t id_;
  std::vector<char> bytes_;
};

class TraceReply : public wyn::IReply {
 public:
  TraceReply(Trace& trace, std::vector<unsigned char> bytes) : trace_(trace), bytes_(std::move(bytes)) {}
  const wyn::IMessage* getMessage() const override { return nullptr; }
  const void* getData() const override {
    trace_.push_back("reply.getData");
    return bytes_.data();
  }
  int getDataSize() const override {
    trace_.push_back("reply.getDataSize");
    return static_cast<int>(bytes_.size());
  }

 private:
  Trace& trace_;
  std::vector<unsigned char> bytes_;
};

using Messages = std::vector<std::unique_ptr<wyn::IMessage>>;

wyn::IMessage* keep(Messages& messages, std::uint32_t type, std::uint32_t id, const void* data, int size) {
  messages.push_back(std::make_unique<HostMessage>(type, id, data, size));
  return messages.back().get();
}

Trace* logTarget = nullptr;

const char* levelName(QtMsgType level) {
  switch (level) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "critical";
    case QtFatalMsg: return "fatal";
  }
  return "?";
}

std::string orEmpty(const char* text) { return text == nullptr ? std::string() : text; }

void traceLogMessage(QtMsgType level, const QMessageLogContext& context, const QString& text) {
  if (logTarget == nullptr) return;
  logTarget->push_back(std::string(levelName(level)) + "[" + orEmpty(context.file) + ", " + orEmpty(context.category) +
                       ", " + orEmpty(context.function) + "]: " + text.toStdString());
}

}  // namespace

std::string logLine(QtMsgType level, const std::string& function, const std::string& text) {
  return std::string(levelName(level)) + "[layercutoutmodel, default, " + function + "]: " + text;
}

std::string describePayload(std::uint32_t id, const void* data, int size) {
  if (data == nullptr || size <= 0) return "(none)";
  if (id == LayerCutout::MessageId::kLayerCutoutChanged && size == 24) {
    std::string json;
    LCD::ProtoModel::encode(json, *static_cast<const std::vector<LCD::ProtoModel::Layer::s_LayerCutout>*>(data));
    return json;
  }
  std::string out;
  if (size % 4 == 0) {
    for (int i = 0; i < size / 4; ++i) {
      std::int32_t value = 0;
      std::memcpy(&value, static_cast<const char*>(data) + 4 * i, sizeof value);
      out += (i == 0 ? "[" : ",") + std::to_string(value);
    }
    return out + "]";
  }
  for (int i = 0; i < size; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<const unsigned char*>(data)[i]);
    out += byte;
  }
  return out;
}

TraceMessage::TraceMessage(Trace& trace, std::uint32_t type, std::uint32_t id, const void* data, int size)
    : trace_(trace), type_(type), id_(id), data_(data), size_(size) {}

std::uint32_t TraceMessage::getType() const {
  trace_.push_back("msg.getType");
  return type_;
}

std::uint32_t TraceMessage::getId() const {
  trace_.push_back("msg.getId");
  return id_;
}

int TraceMessage::getDataSize() const {
  trace_.push_back("msg.getDataSize");
  return size_;
}

const void* TraceMessage::getData() const {
  trace_.push_back("msg.getData");
  return data_;
}

const char* TraceMessage::getSender() const {
  trace_.push_back("msg.getSender");
  return "sender";
}

class TraceHost::Center : public wyn::IMessageCenter {
 public:
  explicit Center(Trace& trace) : trace_(trace) {}
  wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                               int flags) override {
    trace_.push_back(call("center.createMessage", hex(id) + ", " + sender + ", " + std::to_string(size) + ", " +
                                                      describePayload(id, data, size) + ", " + std::to_string(flags)));
    return keep(made_, wyn::kCommandType, id, data, size);
  }
  void releaseMessage(wyn::IMessage** msg) override {
    trace_.push_back("center.releaseMessage");
    *msg = nullptr;
  }

 private:
  Trace& trace_;
  Messages made_;
};

class TraceHost::Commands : public wyn::ICommandDispatcher {
 public:
  Commands(Trace& trace, const std::vector<unsigned char>& answer) : trace_(trace), answer_(answer) {}
  wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override {
    trace_.push_back(call("commands.createMessage", hex(id) + ", " + std::to_string(size) + ", " +
                                                        describePayload(id, data, size) + ", " + sender));
    return keep(made_, wyn::kCommandType, id, data, size);
  }
  void releaseMessage(wyn::IMessage** msg) override {
    const bool isReply = *msg != nullptr && *msg == wyn::releasable(reply_.get());
    trace_.push_back(call("commands.releaseMessage", *msg == nullptr ? "null" : isReply ? "reply" : "request"));
    if (isReply) reply_.reset();
    *msg = nullptr;
  }
  int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override {
    trace_.push_back(call("commands.dispatch", hex((*request)->getId()) + ", " + std::to_string(flags)));
    if (!answer_.empty()) reply_ = std::make_unique<TraceReply>(trace_, answer_);
    *reply = reply_.get();
    return wyn::status::ok;
  }
  void hostReserved() override { trace_.push_back("commands.hostReserved"); }
  int addHandler(int id, std::string handlerName) override {
    trace_.push_back(call("commands.addHandler", hex(static_cast<std::uint32_t>(id)) + ", " + handlerName));
    return wyn::status::ok;
  }

 private:
  Trace& trace_;
  const std::vector<unsigned char>& answer_;
  Messages made_;
  std::unique_ptr<TraceReply> reply_;
};

class TraceHost::Events : public wyn::IEventDispatcher {
 public:
  explicit Events(Trace& trace) : trace_(trace) {}
  wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override {
    trace_.push_back(call("events.createMessage", hex(id) + ", " + std::to_string(size) + ", " +
                                                      describePayload(id, data, size) + ", " + sender));
    return keep(made_, wyn::kEventType, id, data, size);
  }
  void releaseMessage(wyn::IMessage** msg) override {
    trace_.push_back("events.releaseMessage");
    *msg = nullptr;
  }
  int post(wyn::IMessage** msg) override {
    trace_.push_back("events.post");
    *msg = nullptr;
    return wyn::status::ok;
  }
  int dispatchPending() override {
    trace_.push_back("events.dispatchPending");
    return 0;
  }
  int send(wyn::IMessage** msg, int mode) override {
    trace_.push_back(call("events.send", std::to_string(mode)));
    *msg = nullptr;
    return wyn::status::ok;
  }
  int addHandler(int id, std::string handlerName) override {
    trace_.push_back(call("events.addHandler", hex(static_cast<std::uint32_t>(id)) + ", " + handlerName));
    return wyn::status::ok;
  }

 private:
  Trace& trace_;
  Messages made_;
};

TraceHost::TraceHost(Trace& trace, Services offered)
    : trace_(trace),
      offered_(offered),
      center_(std::make_unique<Center>(trace)),
      commands_(std::make_unique<Commands>(trace, dispatchAnswer)),
      events_(std::make_unique<Events>(trace)) {}

TraceHost::~TraceHost() = default;

const char* TraceHost::getApiVersion() const {
  trace_.push_back("api.getApiVersion");
  return "0.1";
}

void* TraceHost::getService(const char* name) {
  trace_.push_back(call("api.getService", name));
  const std::string wanted = name;
  if (wanted == wyn::kMessageCenterService && offered_.messageCenter) return center_.get();
  if (wanted == wyn::kCommandDispatcherService && offered_.commandDispatcher) return commands_.get();
  if (wanted == wyn::kEventDispatcherService && offered_.eventDispatcher) return events_.get();
  return nullptr;
}

TraceLog::TraceLog(Trace& trace) : previous_(qInstallMessageHandler(&traceLogMessage)) { logTarget = &trace; }

TraceLog::~TraceLog() {
  qInstallMessageHandler(previous_);
  logTarget = nullptr;
}
