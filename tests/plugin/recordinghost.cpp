#include "tests/plugin/recordinghost.h"

#include "message/status.h"

TestMessage::TestMessage(std::uint32_t type, std::uint32_t id, const void* data, int size, std::string sender)
    : type_(type), id_(id), sender_(std::move(sender)) {
  if (size > 0 && data != nullptr) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    bytes_.assign(bytes, bytes + size);
  }
}

RecordingHost::RecordingHost(Services offered)
    : offered_(offered), messageCenter_(*this), commandDispatcher_(*this), eventDispatcher_(*this) {}

void* RecordingHost::getService(const char* name) {
  serviceLookups.emplace_back(name);
  const std::string wanted = name;
  if (wanted == wyn::kMessageCenterService && offered_.messageCenter) return &messageCenter_;
  if (wanted == wyn::kCommandDispatcherService && offered_.commandDispatcher) return &commandDispatcher_;
  if (wanted == wyn::kEventDispatcherService && offered_.eventDispatcher) return &eventDispatcher_;
  return nullptr;
}

wyn::IMessage* RecordingHost::MessageCenter::createMessage(std::uint32_t id, const std::string& sender, int size,
                                                           const void* data, int) {
  host_.answers.push_back(std::make_unique<TestMessage>(wyn::kCommandType, id, data, size, sender));
  return host_.answers.back().get();
}

void RecordingHost::MessageCenter::releaseMessage(wyn::IMessage** msg) { *msg = nullptr; }

wyn::IMessage* RecordingHost::CommandDispatcher::createMessage(std::uint32_t id, int size, const void* data,
                                                               const std::string& sender) {
  return new TestMessage(wyn::kCommandType, id, data, size, sender);
}

void RecordingHost::CommandDispatcher::releaseMessage(wyn::IMessage** msg) {
  delete *msg;
  *msg = nullptr;
}

int RecordingHost::CommandDispatcher::dispatch(wyn::IMessage**, wyn::IReply** reply, int) {
  *reply = nullptr;
  return wyn::status::noHandler;
}

int RecordingHost::CommandDispatcher::addHandler(int id, std::string handlerName) {
  host_.registrations.push_back({'c', id, std::move(handlerName)});
  return wyn::status::ok;
}

wyn::IMessage* RecordingHost::EventDispatcher::createMessage(std::uint32_t id, int size, const void* data,
                                                             const std::string& sender) {
  return new TestMessage(wyn::kEventType, id, data, size, sender);
}

void RecordingHost::EventDispatcher::releaseMessage(wyn::IMessage** msg) {
  delete *msg;
  *msg = nullptr;
}

int RecordingHost::EventDispatcher::post(wyn::IMessage** msg) {
  host_.events.emplace_back(-1, std::unique_ptr<wyn::IMessage>(*msg));
  *msg = nullptr;
  return wyn::status::ok;
}

int RecordingHost::EventDispatcher::send(wyn::IMessage** msg, int mode) {
  host_.events.emplace_back(mode, std::unique_ptr<wyn::IMessage>(*msg));
  *msg = nullptr;
  return wyn::status::ok;
}

int RecordingHost::EventDispatcher::addHandler(int id, std::string handlerName) {
  host_.registrations.push_back({'e', id, std::move(handlerName)});
  return wyn::status::ok;
}
