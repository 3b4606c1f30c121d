// Plug-ins are compiled against these vtables: a reordered or inserted virtual
// function silently breaks every plug-in, so the slot of each operation a
// plug-in calls is pinned here (slots count from 1; a destructor takes two).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

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

template <typename... MemberFunctions>
std::vector<int> slotsOf(MemberFunctions... functions) {
  return {slotOf(functions)...};
}

TEST(InterfaceLayout, EveryOperationSitsInItsSlot) {
  using namespace wyn;
  EXPECT_EQ(
      slotsOf(&IMessage::getType, &IMessage::getId, &IMessage::getDataSize, &IMessage::getData,
              &IMessageHandler::handleMessage, &IHostApi::getService, &IMessageCenter::createMessage,
              &ICommandDispatcher::createMessage, &ICommandDispatcher::releaseMessage, &ICommandDispatcher::dispatch,
              &ICommandDispatcher::addHandler, &IEventDispatcher::createMessage, &IEventDispatcher::post,
              &IEventDispatcher::send, &IEventDispatcher::addHandler, &IReply::getData, &IReply::getDataSize),
      (std::vector<int>{3, 4, 5, 6, 3, 4, 1, 1, 2, 3, 5, 1, 3, 5, 6, 2, 3}));
}

}  // namespace
