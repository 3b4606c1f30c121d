#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/imessage.h"

namespace LCD::Host {

// The host's only message type: it owns a copy of its payload, so the sender's
// buffer may go away as soon as the message exists.
class Message final : public wyn::IMessage {
 public:
  // Null for a negative size, or for a null `data` with a positive size.
  static std::unique_ptr<Message> create(std::uint32_t type, std::uint32_t id, std::string sender, int size,
                                         const void* data);

  std::uint32_t getType() const override;
  std::uint32_t getId() const override;
  int getDataSize() const override;
  const void* getData() const override;
  const char* getSender() const override;

 private:
  Message(std::uint32_t type, std::uint32_t id, std::string sender, std::vector<unsigned char> payload);

  std::uint32_t type_;
  std::uint32_t id_;
  std::string sender_;
  // Heap storage is aligned for any fundamental type, so a payload that holds
  // a record in its in-memory form can be read in place.
  std::vector<unsigned char> payload_;
};

// Frees *msg (null is allowed) and clears the pointer; the services'
// releaseMessage operations all come down to this.
void releaseMessage(wyn::IMessage** msg);

}  // namespace LCD::Host
