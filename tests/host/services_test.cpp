#include <gtest/gtest.h>

#include <cstring>

#include "host/message.h"
#include "host/runtime.h"

namespace {

TEST(Message, OwnsACopyOfAValidPayload) {
  char text[] = "abc";
  const char byte = 1;
  const struct {
    int size;
    const void* data;
    bool valid;
    bool hasData;
  } cases[] = {
      {4, text, true, true},      {0, nullptr, true, false}, {0, &byte, true, false},
      {1, nullptr, false, false}, {-1, &byte, false, false},
  };
  for (const auto& c : cases) {
    const auto msg = LCD::Host::Message::create(wyn::kEventType, 7, "sender", c.size, c.data);
    ASSERT_EQ(msg != nullptr, c.valid) << "size " << c.size;
    if (msg) {
      EXPECT_EQ(msg->getData() != nullptr, c.hasData) << "size " << c.size;
      EXPECT_EQ(msg->getDataSize(), c.size);
      EXPECT_EQ(msg->getId(), 7u);
      EXPECT_STREQ(msg->getSender(), "sender");
    }
  }
  const auto copy = LCD::Host::Message::create(wyn::kEventType, 7, "sender", 4, text);
  std::strcpy(text, "xyz");
  EXPECT_STREQ(static_cast<const char*>(copy->getData()), "abc");
}

TEST(HostApi, HandsOutEachServiceByName) {
  LCD::Host::Runtime runtime;
  wyn::IHostApi* api = runtime.api();
  EXPECT_EQ(api->getService("wyn_default_messagecenter"), &runtime.messageCenter());
  EXPECT_EQ(api->getService("commanddispatcher"), &runtime.commandDispatcher());
  EXPECT_EQ(api->getService("eventdispatcher"), &runtime.eventDispatcher());
  EXPECT_EQ(api->getService("messagecenter"), nullptr);
  EXPECT_EQ(api->getService(nullptr), nullptr);
}

}  // namespace
