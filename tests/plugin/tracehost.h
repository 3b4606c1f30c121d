#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/pluginlibrary.h"
#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessagecenter.h"
#include "tests/plugin/handback.h"
#include "tests/plugin/tracedevice.h"

constexpr std::uint32_t kCommandType = 0xF0000001u;
constexpr std::uint32_t kEventType = 0xF0000002u;

// An incoming message that traces the slots the plug-in reads.
struct TraceMessage : wyn::IMessage {
  TraceMessage(Trace& trace, std::uint32_t type, std::uint32_t id, const void* data, int size)
      : trace(trace), type(type), id(id), data(data), size(size) {}
  std::uint32_t getType() const override { return trace.push_back("msg.getType"), type; }
  std::uint32_t getId() const override { return trace.push_back("msg.getId"), id; }
  int getDataSize() const override { return trace.push_back("msg.getDataSize"), size; }
  const void* getData() const override { return trace.push_back("msg.getData"), data; }
  const char* getSender() const override { return trace.push_back("msg.getSender"), "sender"; }

  Trace& trace;
  const std::uint32_t type;
  const std::uint32_t id;
  const void* const data;
  const int size;
};

// A host whose services trace every call with its arguments; it withholds the
// services `withheld` names. It is as strict as the host's contract allows:
// a payload is read only during the call that makes a message, a message handed back
// (released, posted or sent) is freed at once and the caller's pointer is
// dealt with as `handback` says, and a second hand-back of the same message
// shows in the trace as "... on a released object". A dispatched command is
// answered with `commands.answerBytes` (empty: no reply). Every slot is
// traced, the reserved one too, so that a call to it shows.
class TraceHost : public wyn::IHostApi {
 public:
  TraceHost(Trace& t, Handback handback, std::set<std::string> withheld = {})
      : trace(t), handback_(handback), withheld_(std::move(withheld)) {}

  const char* getApiVersion() const override { return "0.1"; }
  void* getService(const char* name) override;
  // Takes back a message the plug-in answered with; false when it is not one
  // the message center made.
  bool takeAnswer(const wyn::IMessage* answer);

  Trace& trace;
  struct Center : wyn::IMessageCenter {
    explicit Center(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                 int flags) override {
      return host.madeMessage("center", id, size, data, sender + ", " + std::to_string(flags));
    }
    void releaseMessage(wyn::IMessage** msg) override { host.handBackMessage("center.releaseMessage", msg); }
    TraceHost& host;
  } center{*this};
  struct Commands : wyn::ICommandDispatcher {
    explicit Commands(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override {
      return host.madeMessage("commands", id, size, data, sender);
    }
    void releaseMessage(wyn::IMessage** msg) override;
    int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override;
    void hostReserved() override { host.trace.push_back("commands.hostReserved"); }
    int addHandler(int id, std::string name) override { return host.added("commands", id, name); }
    TraceHost& host;
    std::vector<unsigned char> answerBytes;
  } commands{*this};
  struct Events : wyn::IEventDispatcher {
    explicit Events(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override {
      return host.madeMessage("events", id, size, data, sender);
    }
    void releaseMessage(wyn::IMessage** msg) override { host.handBackMessage("events.releaseMessage", msg); }
    int post(wyn::IMessage** msg) override { return host.handBackMessage("events.post", msg), 0; }
    int dispatchPending() override { return host.trace.push_back("events.dispatchPending"), 0; }
    int send(wyn::IMessage** msg, int mode) override {
      return host.handBackMessage("events.send(" + std::to_string(mode) + ")", msg), 0;
    }
    int addHandler(int id, std::string name) override { return host.added("events", id, name); }
    TraceHost& host;
  } events{*this};

 private:
  int added(const std::string& service, int id, const std::string& name);
  wyn::IMessage* madeMessage(const char* service, std::uint32_t id, int size, const void* data,
                             const std::string& from);
  void handBackMessage(const std::string& call, wyn::IMessage** msg);

  Handback handback_;
  std::set<std::string> withheld_;
  Holdings held_;
  const void* reply_ = nullptr;  // the last reply dispatch handed out
};

// The plug-in loaded from the build tree into a tracing host, with one
// component made by its own descriptor. While it lives, what the plug-in logs
// through Qt goes into the trace too: "level[file, category, function]: text".
struct TracedPlugin {
  explicit TracedPlugin(Handback handback, std::set<std::string> withheldServices = {}, bool initialised = true);
  ~TracedPlugin();

  // One message to the component; a device exchange it makes meanwhile
  // answers `reply` (none: no response). True when the component answered
  // with a message of the message center, which the host then takes back.
  bool deliver(std::uint32_t type, std::uint32_t id, const void* data, int size,
               const std::optional<std::string>& reply);

  Handback handback;
  Trace trace;
  // What making (and initialising) the component traced.
  Trace creation;
  QtMessageHandler previousLog;
  LCD::Host::PluginLibrary library;
  TraceHost host;
  const wyn::ComponentInfo* descriptor;
  void* component;
};
