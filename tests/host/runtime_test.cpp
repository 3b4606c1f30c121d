#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/component.h"
#include "host/runtime.h"
#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/ihostapi.h"
#include "message/imessagecenter.h"
#include "message/ireply.h"
#include "message/status.h"

namespace {

using Ids = std::vector<std::uint32_t>;
using LCD::Host::Runtime;
constexpr std::uint32_t kFails = 0xbad;

std::string textOf(const std::optional<std::vector<unsigned char>>& reply) {
  return reply ? std::string(reply->begin(), reply->end()) : "(none)";
}

// Announces its ids as commands and events under its name when initialised, counts the messages it is
// given, throws on kFails and answers with its name followed by the payload.
struct Echo : wyn::IMessageHandler {
  Echo(Runtime& runtime, std::string name, Ids ids) : runtime(runtime), name(std::move(name)), ids(std::move(ids)) {}

  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    if (msg->getId() == wyn::kInitialiseId) {
      for (const auto id : ids) {
        static_cast<wyn::ICommandDispatcher*>(runtime.api()->getService("commanddispatcher"))->addHandler(id, name);
        static_cast<wyn::IEventDispatcher*>(runtime.api()->getService("eventdispatcher"))->addHandler(id, name);
      }
      return nullptr;
    }
    ++calls;
    if (msg->getId() == kFails) throw std::runtime_error("handler failed");
    const std::string answer = name + std::string(static_cast<const char*>(msg->getData()), msg->getDataSize());
    return runtime.messageCenter().createMessage(msg->getId(), name, static_cast<int>(answer.size()), answer.data(), 0);
  }

  Runtime& runtime;
  const std::string name;
  const Ids ids;
  std::atomic<int> calls{0};
};

// A component descriptor that hands out `echo` and records what it is asked to delete.
wyn::ComponentInfo describe(Echo& echo, std::vector<void*>& deleted) {
  return {[&echo] { return static_cast<void*>(&echo); }, [&deleted](void* instance) { deleted.push_back(instance); },
          [](void* instance) -> wyn::IMessageHandler* { return static_cast<Echo*>(instance); }, "test.echo", ""};
}

// Components are routed while their Component objects live and deleted with them. Commands go by the name
// announced during initialisation, the first claim on an id or a name staying. Posted events wait for the
// pump; every listener hears an event, also after a component or a subscriber before it failed.
TEST(Routing, ReachesTheComponentsThatAnnouncedTheIdWhileTheyLive) {
  Runtime runtime;
  Echo a(runtime, "a", Ids{1, kFails}), b(runtime, "b", Ids{2, 1}), twin(runtime, "a", Ids{3});
  std::vector<void*> deleted;
  const wyn::ComponentInfo descriptors[] = {describe(a, deleted), describe(b, deleted), describe(twin, deleted)};
  {
    const LCD::Host::Component components[] = {
        {descriptors[0], runtime}, {descriptors[1], runtime}, {descriptors[2], runtime}};
    std::string answers;
    for (const std::uint32_t id : {1u, 2u, 3u, 4u}) answers += textOf(runtime.sendCommand(id, nullptr, 0).reply) + " ";
    EXPECT_EQ(answers, "a b (none) (none) ");
    EXPECT_EQ(runtime.sendCommand(kFails, nullptr, 0).status, wyn::status::handlerFailed);
    Ids heard;
    runtime.subscribe(2, [](const wyn::IMessage&) { throw std::runtime_error("subscriber failed"); });
    for (const std::uint32_t id : {1u, kFails, 2u})
      runtime.subscribe(id, [&heard](const wyn::IMessage& event) { heard.push_back(event.getId()); });
    EXPECT_TRUE(runtime.unsubscribe(runtime.subscribe(1, [](const wyn::IMessage&) { ADD_FAILURE(); })));
    for (const std::uint32_t id : {2u, kFails, 1u}) runtime.postEvent(id, nullptr, 0);
    EXPECT_EQ(runtime.pumpEvents(), 3);
    EXPECT_EQ(runtime.sendEvent(kFails, nullptr, 0), wyn::status::handlerFailed);
    EXPECT_EQ(heard, (Ids{2, kFails, 1, kFails}));
  }
  EXPECT_EQ(a.calls, 5);
  EXPECT_EQ(runtime.sendCommand(1, nullptr, 0).status, wyn::status::noHandler);
  EXPECT_EQ(deleted, (std::vector<void*>{&twin, &b, &a}));
}

// Answers go back to their own callers while posts from several threads meet the pump on another.
TEST(ConcurrentDispatch, AnswersMatchTheirCommandsAcrossThreads) {
  constexpr int kThreads = 4, kRounds = 500;
  Runtime runtime;
  runtime.initialise(std::make_shared<Echo>(runtime, "echo", Ids{1}));
  std::atomic<int> heard{0}, wrong{0};
  runtime.subscribe(3, [&heard](const wyn::IMessage&) { ++heard; });
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int value = t * kRounds; value < (t + 1) * kRounds; ++value) {
        const std::string sent(reinterpret_cast<const char*>(&value), sizeof value);
        wrong += textOf(runtime.sendCommand(1, sent.data(), sizeof value).reply) != "echo" + sent;
        runtime.postEvent(3, nullptr, 0);
      }
    });
  }
  const auto hangGuard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (heard < kThreads * kRounds && std::chrono::steady_clock::now() < hangGuard) runtime.pumpEvents();
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(heard, kThreads * kRounds);
}

// Plug-ins are compiled against these vtables: a reordered or inserted virtual function silently breaks
// every plug-in, so the slot of each operation a plug-in calls is pinned here (slots count from 1; a
// destructor takes two). The pointer word of an Itanium C++ ABI pointer to a virtual member function holds
// the vtable offset, plus one except on ARM, which flags virtual functions in the adjustment word instead.
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
  using namespace wyn;
  const auto slotsOf = [](auto... functions) { return std::vector<int>{slotOf(functions)...}; };
  EXPECT_EQ(
      slotsOf(&IMessage::getType, &IMessage::getId, &IMessage::getDataSize, &IMessage::getData,
              &IMessageHandler::handleMessage, &IHostApi::getService, &IMessageCenter::createMessage,
              &ICommandDispatcher::createMessage, &ICommandDispatcher::releaseMessage, &ICommandDispatcher::dispatch,
              &ICommandDispatcher::addHandler, &IEventDispatcher::createMessage, &IEventDispatcher::post,
              &IEventDispatcher::send, &IEventDispatcher::addHandler, &IReply::getData, &IReply::getDataSize),
      (std::vector<int>{3, 4, 5, 6, 3, 4, 1, 1, 2, 3, 5, 1, 3, 5, 6, 2, 3}));
}

}  // namespace
