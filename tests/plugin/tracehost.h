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

// A host whose services trace every call with its arguments; the messages
// they make carry what the plug-in handed over, rendered by describePayload.
// A service can be withheld to see how the plug-in copes without it.
class TraceHost : public wyn::IHostApi {
 public:
  struct Services {
    bool messageCenter = true;
    bool commandDispatcher = true;
    bool eventDispatcher = true;
  };
  TraceHost(Trace& trace, Services offered);
  explicit TraceHost(Trace& trace) : TraceHost(trace, Services{}) {}
  ~TraceHost() override;

  const char* getApiVersion() const override;
  void* getService(const char* name) override;

  // The answer a dispatch hands out to a component's sendCommand, if any.
  std::vector<unsigned char> dispatchAnswer;

 private:
  class Center;
  class Commands;
  class Events;

  Trace& trace_;
  Services offered_;
  std::unique_ptr<Center> center_;
  std::unique_ptr<Commands> commands_;
  std::unique_ptr<Events> events_;
};

// What a payload of message `id` holds, for the trace: the layer cutouts of
// a vector object as JSON, a record of 32-bit integers as a list, bytes in hex.
std::string describePayload(std::uint32_t id, const void* data, int size);

// Adds everything the plug-in logs through Qt to the trace while alive:
// level, file, category, function and text.
class TraceLog {
 public:
  explicit TraceLog(Trace& trace);
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

 private:
  QtMessageHandler previous_;
};

// A trace line as TraceLog writes it.
std::string logLine(QtMsgType level, const std::string& function, const std::string& text);
