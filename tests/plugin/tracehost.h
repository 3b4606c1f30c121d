#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessage.h"
#include "message/imessagecenter.h"
#include "tests/plugin/trace.h"

// An incoming message that traces the slots the plug-in reads.
class TraceMessage : public wyn::IMessage {
 public:
  TraceMessage(Trace& trace, std::uint32_t type, std::uint32_t id, const void* data, int size);
  std::uint32_t getType() const override;
  std::uint32_t getId() const override;
  int getDataSize() const override;
  const void* getData() const override;
  const char* getSender() const override;

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

// A host whose services trace every call with its arguments, payloads as
// describePayload renders them. A service can be withheld.
class TraceHost : public wyn::IHostApi {
 public:
  TraceHost(Trace& trace, Services offered = {})
      : center{trace}, commands{trace, {}, nullptr}, events{trace}, trace_(trace), offered_(offered) {}

  const char* getApiVersion() const override;
  void* getService(const char* name) override;

  struct Center : wyn::IMessageCenter {
    explicit Center(Trace& t) : trace(t) {}
    wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                 int flags) override;
    void releaseMessage(wyn::IMessage** msg) override;
    Trace& trace;
  } center;
  struct Commands : wyn::ICommandDispatcher {
    Commands(Trace& t, std::vector<unsigned char> a, std::unique_ptr<wyn::IReply> r)
        : trace(t), answerBytes(std::move(a)), reply(std::move(r)) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage** msg) override;
    int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override;
    void hostReserved() override;
    int addHandler(int id, std::string handlerName) override;
    Trace& trace;
    std::vector<unsigned char> answerBytes;  // what dispatch answers with; empty: no reply
    std::unique_ptr<wyn::IReply> reply;
  } commands;
  struct Events : wyn::IEventDispatcher {
    explicit Events(Trace& t) : trace(t) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage** msg) override;
    int post(wyn::IMessage** msg) override;
    int dispatchPending() override;
    int send(wyn::IMessage** msg, int mode) override;
    int addHandler(int id, std::string handlerName) override;
    Trace& trace;
  } events;

 private:
  Trace& trace_;
  Services offered_;
};

// A payload for the trace: layer cutouts of a vector object as JSON, else its
// 32-bit integers as a list and trailing bytes in decimal.
std::string describePayload(std::uint32_t id, const void* data, int size);

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
