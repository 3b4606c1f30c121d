#include "host/reply.h"

#include <utility>

namespace LCD::Host {

Reply::Reply(std::unique_ptr<const wyn::IMessage> message) : message_(std::move(message)) {}

const wyn::IMessage* Reply::getMessage() const { return message_.get(); }

const void* Reply::getData() const { return message_->getData(); }

int Reply::getDataSize() const { return message_->getDataSize(); }

}  // namespace LCD::Host
