#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>

#include "host/handlerregistry.h"
#include "message/icommanddispatcher.h"

namespace LCD::Host {

// Runs each command on the dispatching thread: the caller waits for the
// handler, which is called without any lock held, so several threads may
// dispatch at once and a handler may dispatch commands of its own.
class CommandDispatcher final : public wyn::ICommandDispatcher {
 public:
  explicit CommandDispatcher(HandlerRegistry& registry);

  wyn::IMessage* createMessage(std::uint32_t id, int size, const void* data, const std::string& sender) override;
  void releaseMessage(wyn::IMessage** msg) override;
  int dispatch(wyn::IMessage** request, wyn::IReply** reply, int flags) override;
  void hostReserved() override;
  int addHandler(int id, std::string handlerName) override;

 private:
  // True when `released` is a reply this dispatcher handed out; it is
  // forgotten, so the caller frees it as a reply.
  bool forgetReply(const void* released);

  HandlerRegistry& registry_;
  std::mutex repliesMutex_;
  std::unordered_set<const void*> replies_;
};

}  // namespace LCD::Host
