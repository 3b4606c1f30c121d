#pragma once

#include <memory>

#include "message/imessage.h"
#include "message/ireply.h"

namespace LCD::Host {

// A command's answer as the caller of dispatch sees it; owns the message the
// handler answered with.
class Reply final : public wyn::IReply {
 public:
  explicit Reply(std::unique_ptr<const wyn::IMessage> message);

  const wyn::IMessage* getMessage() const override;
  const void* getData() const override;
  int getDataSize() const override;

 private:
  std::unique_ptr<const wyn::IMessage> message_;
};

}  // namespace LCD::Host
