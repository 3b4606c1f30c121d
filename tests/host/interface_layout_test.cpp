// Plug-ins are compiled against these vtables: a reordered or inserted virtual
// function silently breaks every plug-in, so the slot of each operation a
// plug-in calls is pinned here (slots count from 1; a destructor takes two).

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessage.h"
#include "message/imessagecenter.h"
#include "message/imessagehandler.h"
#include "message/ireply.h"
#include "message/plugininfo.h"

namespace {

// Decodes an Itanium C++ ABI pointer to a virtual member function. On ARM the
// virtual flag lives in the adjustment word and the pointer word is the plain
// vtable offset; elsewhere the pointer word is the offset plus one.
template <typename MemberFunction>
int slotOf(MemberFunction function) {
  struct Representation {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } representation{};
  static_assert(sizeof(MemberFunction) == sizeof(Representation));
  std::memcpy(&representation, &function, sizeof representation);
#if defined(__arm__) || defined(__aarch64__)
  const std::uintptr_t offset = representation.pointer;
#else
  const std::uintptr_t offset = representation.pointer - 1;
#endif
  return static_cast<int>(offset / sizeof(void*)) + 1;
}

struct SlotCase {
  const char* operation;
  int actual;
  int expected;
};


TEST(InterfaceLayout, EveryOperationSitsInItsSlot) {
  const SlotCase cases[] = {
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
    EXPECT_EQ(c.actual, c.expected) << c.operation;
  }
}

TEST(InterfaceLayout, PluginRecordFieldsArePointerSizedInOrder) {
  EXPECT_EQ(offsetof(wyn::PluginInfo, apiVersion), 0 * sizeof(void*));
  EXPECT_EQ(offsetof(wyn::PluginInfo, components), 1 * sizeof(void*));
  EXPECT_EQ(offsetof(wyn::PluginInfo, name), 2 * sizeof(void*));
  EXPECT_EQ(offsetof(wyn::PluginInfo, version), 3 * sizeof(void*));
  EXPECT_EQ(offsetof(wyn::PluginInfo, info), 4 * sizeof(void*));
}

}  // namespace
