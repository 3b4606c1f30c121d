#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/component.h"
#include "host/plugin.h"
#include "host/pluginerror.h"
#include "host/runtime.h"
#include "message/icommanddispatcher.h"
#include "message/ieventdispatcher.h"
#include "message/status.h"

namespace {

using Ids = std::vector<std::uint32_t>;
using LCD::Host::Runtime;
namespace status = wyn::status;

constexpr std::uint32_t kFails = 0xbad;

std::string textOf(const std::optional<std::vector<unsigned char>>& reply) {
  return reply ? std::string(reply->begin(), reply->end()) : "(none)";
}

// Announces its ids as commands and events under its name when initialised,
// counts the messages it is given, throws on kFails and answers with its name
// followed by the payload.
struct Echo : wyn::IMessageHandler {
  Echo(Runtime& runtime, std::string name, Ids ids) : runtime(runtime), name(std::move(name)), ids(std::move(ids)) {}

  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    if (msg->getId() == wyn::kInitialiseId) {
      for (auto id : ids) {
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

// Components are routed while their Component objects live and deleted with
// them. Commands go by the name announced during initialisation, the first
// claim on an id or a name staying. Posted events wait for the pump; every
// listener hears an event, also after a component or a subscriber before it
// failed.
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
    EXPECT_EQ(runtime.sendCommand(kFails, nullptr, 0).status, status::handlerFailed);
    Ids heard;
    runtime.subscribe(2, [](const wyn::IMessage&) { throw std::runtime_error("subscriber failed"); });
    for (const std::uint32_t id : {1u, kFails, 2u})
      runtime.subscribe(id, [&heard](const wyn::IMessage& event) { heard.push_back(event.getId()); });
    EXPECT_TRUE(runtime.unsubscribe(runtime.subscribe(1, [](const wyn::IMessage&) { ADD_FAILURE(); })));
    for (const std::uint32_t id : {2u, kFails, 1u}) runtime.postEvent(id, nullptr, 0);
    EXPECT_EQ(heard, Ids{});
    EXPECT_EQ(runtime.pumpEvents(), 3);
    EXPECT_EQ(runtime.pumpEvents(), 0);
    EXPECT_EQ(runtime.sendEvent(kFails, nullptr, 0), status::handlerFailed);
    EXPECT_EQ(heard, (Ids{2, kFails, 1, kFails}));
  }
  EXPECT_EQ(a.calls, 5);
  EXPECT_EQ(runtime.sendCommand(1, nullptr, 0).status, status::noHandler);
  EXPECT_EQ(deleted, (std::vector<void*>{&twin, &b, &a}));
}

TEST(PluginLoader, RefusesWhatIsNoPlugin) {
  Runtime runtime;
  const std::pair<const char*, const char*> cases[] = {{__FILE__, "cannot load plug-in"},
                                                       {LCD_HOST_NOT_A_PLUGIN, "lacks entry point pluginfo"}};
  for (const auto& [path, cause] : cases) {
    try {
      LCD::Host::Plugin plugin(path, runtime);
      ADD_FAILURE() << path << " loaded";
    } catch (const LCD::Host::PluginError& error) {
      EXPECT_NE(std::string(error.what()).find(cause), std::string::npos) << error.what();
    }
  }
}

// Answers go back to their own callers while posts from several threads meet
// the pump on another.
TEST(ConcurrentDispatch, AnswersMatchTheirCommandsAcrossThreads) {
  constexpr int kThreads = 4, kRounds = 500;
  Runtime runtime;
  runtime.initialise(std::make_shared<Echo>(runtime, "echo", Ids{1}));
  std::atomic<int> heard{0}, wrong{0}, finished{0};
  runtime.subscribe(3, [&heard](const wyn::IMessage&) { ++heard; });
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int value = t * kRounds; value < (t + 1) * kRounds; ++value) {
        const std::string sent(reinterpret_cast<const char*>(&value), sizeof value);
        wrong += textOf(runtime.sendCommand(1, sent.data(), sizeof value).reply) != "echo" + sent;
        runtime.postEvent(3, nullptr, 0);
      }
      ++finished;
    });
  }
  while (finished < kThreads) runtime.pumpEvents();
  for (auto& thread : threads) thread.join();
  runtime.pumpEvents();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(heard, kThreads * kRounds);
}

}  // namespace
