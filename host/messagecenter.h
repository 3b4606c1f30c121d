#pragma once

#include <cstdint>
#include <string>

#include "message/imessagecenter.h"

namespace LCD::Host {

class MessageCenter final : public wyn::IMessageCenter {
 public:
  wyn::IMessage* createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                               int flags) override;
  void releaseMessage(wyn::IMessage** msg) override;
};

}  // namespace LCD::Host
