#include "host/message.h"

#include <utility>

namespace LCD::Host {

std::unique_ptr<Message> Message::create(std::uint32_t type, std::uint32_t id, std::string sender, int size,
                                         const void* data) {
  if (size < 0 || (size > 0 && data == nullptr)) {
    return nullptr;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> payload(bytes, bytes + size);
  return std::unique_ptr<Message>(new Message(type, id, std::move(sender), std::move(payload)));
}

Message::Message(std::uint32_t type, std::uint32_t id, std::string sender, std::vector<unsigned char> payload)
    : type_(type), id_(id), sender_(std::move(sender)), payload_(std::move(payload)) {}

std::uint32_t Message::getType() const { return type_; }

std::uint32_t Message::getId() const { return id_; }

int Message::getDataSize() const { return static_cast<int>(payload_.size()); }

const void* Message::getData() const { return payload_.empty() ? nullptr : payload_.data(); }

const char* Message::getSender() const { return sender_.c_str(); }

void releaseMessage(wyn::IMessage** msg) {
  if (msg != nullptr) {
    delete *msg;
    *msg = nullptr;
  }
}

}  // namespace LCD::Host
