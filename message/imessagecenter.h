#pragma once

#include <cstdint>
#include <string>

#include "message/imessage.h"

namespace wyn {

// Service "wyn_default_messagecenter": makes the messages components answer
// commands with. Vtable: createMessage, releaseMessage, destructor.
class IMessageCenter {
 public:
  // Copies `size` bytes from `data`; the message has the command type.
  // `flags` is reserved and must be 0. Returns null for a negative size or
  // for a null `data` with a positive size.
  virtual IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                  int flags) = 0;
  // Frees *msg (null is allowed) and clears the pointer.
  virtual void releaseMessage(IMessage** msg) = 0;
  virtual ~IMessageCenter() = default;
};

}  // namespace wyn
