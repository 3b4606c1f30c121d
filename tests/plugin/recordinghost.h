#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessage.h"
#include "message/imessagecenter.h"

// A host that records what a component asks of it: registrations, created
// messages and sent events. Each service can be withheld to see how a
// component copes without it.
class TestMessage : public wyn::IMessage {
 public:
  TestMessage(std::uint32_t type, std::uint32_t id, const void* data, int size, std::string sender = "test");
  std::uint32_t getType() const override { return type_; }
  std::uint32_t getId() const override { return id_; }
  int getDataSize() const override { return static_cast<int>(bytes_.size()); }
  const void* getData() const override { return bytes_.empty() ? nullptr : bytes_.data(); }
  const char* getSender() const override { return sender_.c_str(); }

 private:
  std::uint32_t type_;
  std::uint32_t id_;
  std::vector<unsigned char> bytes_;
  std::string sender_;
};

struct Registration {
  char dispatcher;  // 'c' command, 'e' event
  int id;
  std::string name;
  bool operator==(const Registration& other) const {
    return dispatcher == other.dispatcher && id == other.id && name == other.name;
  }
};

class RecordingHost : public wyn::IHostApi {
 public:
  struct Services {
    bool messageCenter = true;
    bool commandDispatcher = true;
    bool eventDispatcher = true;
  };
  explicit RecordingHost(Services offered);
  RecordingHost() : RecordingHost(Services{}) {}

  const char* getApiVersion() const override { return "0.1"; }
  void* getService(const char* name) override;

  std::vector<Registration> registrations;
  std::vector<std::string> serviceLookups;
  std::vector<std::unique_ptr<wyn::IMessage>> answers;                 // made by the message center
  std::vector<std::pair<int, std::unique_ptr<wyn::IMessage>>> events;  // send mode (-1: posted) and event

 private:
  class MessageCenter : public wyn::IMessageCenter {
   public:
    explicit MessageCenter(RecordingHost& host) : host_(host) {}
    wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                 int flags) override;
    void releaseMessage(wyn::IMessage** msg) override;

   private:
    RecordingHost& host_;
  };

  class CommandDispatcher : public wyn::ICommandDispatcher {
   public:
    explicit CommandDispatcher(RecordingHost& host) : host_(host) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage** msg) override;
    int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override;
    void hostReserved() override {}
    int addHandler(int id, std::string handlerName) override;

   private:
    RecordingHost& host_;
  };

  class EventDispatcher : public wyn::IEventDispatcher {
   public:
    explicit EventDispatcher(RecordingHost& host) : host_(host) {}
    wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
    void releaseMessage(wyn::IMessage** msg) override;
    int post(wyn::IMessage** msg) override;
    int dispatchPending() override { return 0; }
    int send(wyn::IMessage** msg, int mode) override;
    int addHandler(int id, std::string handlerName) override;

   private:
    RecordingHost& host_;
  };

  Services offered_;
  MessageCenter messageCenter_;
  CommandDispatcher commandDispatcher_;
  EventDispatcher eventDispatcher_;
};
