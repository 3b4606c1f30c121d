// Plug-ins are compiled against these vtables: a reordered or inserted virtual
// function silently breaks every plug-in, so the slot of each operation a
// plug-in calls is pinned here (slots count from 1; a destructor takes two).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessage.h"
#include "message/imessagecenter.h"
#include "message/imessagehandler.h"
#include "message/ireply.h"

namespace {

// The pointer word of an Itanium C++ ABI pointer to a virtual member function
// holds the vtable offset, plus one except on ARM, which flags virtual
// functions in the adjustment word instead.
template <typename MemberFunction>
int slotOf(MemberFunction function) {
  std::uintptr_t offset = 0;
  std::memcpy(&offset, &function, sizeof offset);
#if !defined(__arm__) && !defined(__aarch64__)
  offset -= 1;
#endif
  return static_cast<int>(offset / sizeof(void*)) + 1;
}

TEST(InterfaceLayout, EveryOperationSitsInItsSlot) {
  const struct {
    const char* what;
    int actual;
    int expected;
  } cases[] = {
      {"IMessage::getType", slotOf(&wyn::IMessage::getType), 3},
      {"IMessage::getId", slotOf(&wyn::IMessage::getId), 4},
      {"IMessage::getDataSize", slotOf(&wyn::IMessage::getDataSize), 5},
      {"IMessage::getData", slotOf(&wyn::IMessage::getData), 6},
      {"IMessageHandler::handleMessage", slotOf(&wyn::IMessageHandler::handleMessage), 3},
      {"IHostApi::getService", slotOf(&wyn::IHostApi::getService), 4},
      {"IMessageCenter::createMessage", slotOf(&wyn::IMessageCenter::createMessage), 1},
      {"ICommandDispatcher::createMessage", slotOf(&wyn::ICommandDispatcher::createMessage), 1},
      {"ICommandDispatcher::releaseMessage", slotOf(&wyn::ICommandDispatcher::releaseMessage), 2},
      {"ICommandDispatcher::dispatch", slotOf(&wyn::ICommandDispatcher::dispatch), 3},
      {"ICommandDispatcher::hostReserved", slotOf(&wyn::ICommandDispatcher::hostReserved), 4},
      {"ICommandDispatcher::addHandler", slotOf(&wyn::ICommandDispatcher::addHandler), 5},
      {"IEventDispatcher::createMessage", slotOf(&wyn::IEventDispatcher::createMessage), 1},
      {"IEventDispatcher::post", slotOf(&wyn::IEventDispatcher::post), 3},
      {"IEventDispatcher::send", slotOf(&wyn::IEventDispatcher::send), 5},
      {"IEventDispatcher::addHandler", slotOf(&wyn::IEventDispatcher::addHandler), 6},
      {"IReply::getData", slotOf(&wyn::IReply::getData), 2},
      {"IReply::getDataSize", slotOf(&wyn::IReply::getDataSize), 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.what;
  }
}

}  // namespace
