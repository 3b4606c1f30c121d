#include "host/messagecenter.h"

#include "host/message.h"

namespace LCD::Host {

// Its messages answer commands, hence the command type.
wyn::IMessage* MessageCenter::createMessage(std::uint32_t id, const std::string& sender, int size, const void* data,
                                            int /*flags*/) {
  return Message::create(wyn::kCommandType, id, sender, size, data).release();
}

void MessageCenter::releaseMessage(wyn::IMessage** msg) { LCD::Host::releaseMessage(msg); }

}  // namespace LCD::Host
