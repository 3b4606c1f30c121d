#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessagecenter.h"
#include "tests/plugin/trace.h"

// A payload for the trace: layer cutouts of a vector object as JSON, else its
// 32-bit integers as a list and trailing bytes in decimal.
std::string describePayload(std::uint32_t id, const void* data, int size);
// A message's id, size, payload and sender for the trace.
std::string describeMessage(std::uint32_t id, int size, const void* data, const std::string& sender);
std::string hex(std::uint32_t value);

// An incoming message that traces the slots the plug-in reads.
class TraceMessage : public wyn::IMessage {
 public:
  TraceMessage(Trace& trace, std::uint32_t type, std::uint32_t id, const void* data, int size)
      : trace_(trace), type_(type), id_(id), data_(data), size_(size) {}
  std::uint32_t getType() const override { return trace_.push_back("msg.getType"), type_; }
  std::uint32_t getId() const override { return trace_.push_back("msg.getId"), id_; }
  int getDataSize() const override { return trace_.push_back("msg.getDataSize"), size_; }
  const void* getData() const override { return trace_.push_back("msg.getData"), data_; }
  const char* getSender() const override { return trace_.push_back("msg.getSender"), "sender"; }

 private:
  Trace& trace_;
  std::uint32_t type_;
  std::uint32_t id_;
  const void* data_;
  int size_;
};

// Which services a host offers.
struct Services {
  bool messageCenter = true;
  bool commandDispatcher = true;
  bool eventDispatcher = true;
};

// A host whose services trace every call with its arguments. What they hand
// out is one message the plug-in only passes back; a dispatched command is
// answered with `commands.answerBytes` (empty: no reply).
class TraceHost : public wyn::IHostApi {
 public:
  TraceHost(Trace& trace, Services offered = {});

  const char* getApiVersion() const override { return "0.1"; }
  void* getService(const char* name) override;

  struct Center : wyn::IMessageCenter {
    explicit Center(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                 int flags) override;
    void releaseMessage(wyn::IMessage**) override { host.trace.push_back("center.releaseMessage"); }
    TraceHost& host;
  } center;
  struct Commands : wyn::ICommandDispatcher {
    explicit Commands(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage** msg) override;
    int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override;
    void hostReserved() override { host.trace.push_back("commands.hostReserved"); }
    int addHandler(int id, std::string name) override;
    TraceHost& host;
    std::vector<unsigned char> answerBytes;
    std::unique_ptr<wyn::IReply> reply;
  } commands;
  struct Events : wyn::IEventDispatcher {
    explicit Events(TraceHost& h) : host(h) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage**) override { host.trace.push_back("events.releaseMessage"); }
    int post(wyn::IMessage**) override { return host.trace.push_back("events.post"), 0; }
    int dispatchPending() override { return host.trace.push_back("events.dispatchPending"), 0; }
    int send(wyn::IMessage**, int mode) override {
      return host.trace.push_back("events.send(" + std::to_string(mode) + ")"), 0;
    }
    int addHandler(int id, std::string name) override;
    TraceHost& host;
  } events;
  Trace& trace;
  TraceMessage made;

 private:
  Services offered_;
};

// Adds what the plug-in logs through Qt to the trace while alive: level, file,
// category, function and text, as logLine writes them.
class TraceLog {
 public:
  explicit TraceLog(Trace& trace);
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

 private:
  QtMessageHandler previous_;
};
std::string logLine(QtMsgType level, const std::string& function, const std::string& text);
