#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
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

using Bytes = std::vector<unsigned char>;
using Ids = std::vector<std::uint32_t>;
namespace status = wyn::status;

constexpr std::uint32_t kFails = 0xbad;

// Announces its ids under its name when initialised, records the ids it is
// given, answers with the payload and throws on kFails.
class Echo : public wyn::IMessageHandler {
 public:
  Echo(LCD::Host::Runtime& runtime, std::string name, Ids commands, Ids events = {})
      : runtime_(runtime), name_(std::move(name)), commands_(std::move(commands)), events_(std::move(events)) {}

  const wyn::IMessage* handleMessage(const wyn::IMessage* msg) override {
    wyn::IHostApi* api = runtime_.api();
    if (msg->getId() == wyn::kInitialiseId) {
      for (auto id : commands_)
        static_cast<wyn::ICommandDispatcher*>(api->getService("commanddispatcher"))->addHandler(id, name_);
      for (auto id : events_)
        static_cast<wyn::IEventDispatcher*>(api->getService("eventdispatcher"))->addHandler(id, name_);
      return nullptr;
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      seen.push_back(msg->getId());
    }
    if (msg->getId() == kFails) throw std::runtime_error("handler failed");
    return runtime_.messageCenter().createMessage(msg->getId(), name_, msg->getDataSize(), msg->getData(), 0);
  }

  // Read once no delivery runs any more.
  Ids seen;

 private:
  LCD::Host::Runtime& runtime_;
  std::string name_;
  Ids commands_, events_;
  std::mutex mutex_;
};

// Commands go by the name announced during initialisation; the first claim on
// an id or a name stays.
TEST(CommandRouting, ReachesTheComponentThatAnnouncedTheId) {
  LCD::Host::Runtime runtime;
  const auto a = std::make_shared<Echo>(runtime, "a", Ids{1, kFails});
  const auto b = std::make_shared<Echo>(runtime, "b", Ids{2, 1});
  const auto twin = std::make_shared<Echo>(runtime, "a", Ids{3});
  for (const auto& component : {a, b, twin}) runtime.initialise(component);
  const Bytes payload{7, 8};
  const std::pair<std::uint32_t, int> cases[] = {{1, status::ok},
                                                 {2, status::ok},
                                                 {3, status::noHandler},
                                                 {kFails, status::handlerFailed},
                                                 {4, status::noHandler}};
  for (const auto& [id, expected] : cases) {
    const auto result = runtime.sendCommand(id, payload.data(), 2);
    EXPECT_EQ(result.status, expected) << id;
    EXPECT_EQ(result.reply, expected == status::ok ? std::optional<Bytes>(payload) : std::nullopt) << id;
  }
  EXPECT_EQ(a->seen, (Ids{1, kFails}));
  EXPECT_EQ(b->seen, (Ids{2}));
  EXPECT_EQ(twin->seen, Ids{});
}

// Posted events wait for the pump; every listener hears an event, also after
// a component or a subscriber before it failed.
TEST(EventRouting, ReachesEveryListenerInOrder) {
  LCD::Host::Runtime runtime;
  const auto listener = std::make_shared<Echo>(runtime, "listener", Ids{}, Ids{1, kFails});
  runtime.initialise(listener);
  Ids heard;
  runtime.subscribe(2, [](const wyn::IMessage&) { throw std::runtime_error("subscriber failed"); });
  for (const std::uint32_t id : {1u, kFails, 2u}) {
    runtime.subscribe(id, [&heard](const wyn::IMessage& event) { heard.push_back(event.getId()); });
  }
  EXPECT_TRUE(runtime.unsubscribe(runtime.subscribe(1, [](const wyn::IMessage&) { ADD_FAILURE(); })));
  for (const std::uint32_t id : {2u, kFails, 1u}) runtime.postEvent(id, nullptr, 0);
  EXPECT_EQ(heard, Ids{});

  EXPECT_EQ(runtime.pumpEvents(), 3);
  EXPECT_EQ(runtime.pumpEvents(), 0);
  EXPECT_EQ(runtime.sendEvent(kFails, nullptr, 0), status::handlerFailed);
  EXPECT_EQ(listener->seen, (Ids{kFails, 1, kFails}));
  EXPECT_EQ(heard, (Ids{2, kFails, 1, kFails}));
}

TEST(PluginLoader, RefusesWhatIsNoPlugin) {
  LCD::Host::Runtime runtime;
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

// A component is routed while its Component object lives and destroyed with it.
TEST(Component, IsRoutedWhileItsObjectLivesAndDestroyedWithIt) {
  LCD::Host::Runtime runtime;
  int deleted = 0;
  const wyn::ComponentInfo descriptor{[&runtime] { return static_cast<void*>(new Echo(runtime, "echo", Ids{1})); },
                                      [&deleted](void* echo) {
                                        delete static_cast<Echo*>(echo);
                                        ++deleted;
                                      },
                                      [](void* echo) -> wyn::IMessageHandler* { return static_cast<Echo*>(echo); },
                                      "test.echo", ""};
  {
    const LCD::Host::Component component(descriptor, runtime);
    EXPECT_EQ(runtime.sendCommand(1, nullptr, 0).status, status::ok);
  }
  EXPECT_EQ(runtime.sendCommand(1, nullptr, 0).status, status::noHandler);
  EXPECT_EQ(deleted, 1);
}

// Answers go back to their own callers while posts from several threads meet
// the pump on another.
TEST(ConcurrentDispatch, AnswersMatchTheirCommandsAcrossThreads) {
  constexpr int kThreads = 4, kRounds = 500;
  LCD::Host::Runtime runtime;
  const auto first = std::make_shared<Echo>(runtime, "first", Ids{1});
  const auto second = std::make_shared<Echo>(runtime, "second", Ids{2});
  runtime.initialise(first);
  runtime.initialise(second);
  std::atomic<int> heard{0}, wrong{0}, finished{0};
  runtime.subscribe(3, [&heard](const wyn::IMessage&) { ++heard; });
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int value = t * kRounds; value < (t + 1) * kRounds; ++value) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        wrong += runtime.sendCommand(1 + value % 2, &value, sizeof value).reply != Bytes(bytes, bytes + sizeof value);
        runtime.postEvent(3, nullptr, 0);
      }
      ++finished;
    });
  }
  while (finished < kThreads) runtime.pumpEvents();
  for (auto& thread : threads) thread.join();
  runtime.pumpEvents();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(first->seen, Ids(kThreads * kRounds / 2, 1));
  EXPECT_EQ(heard, kThreads * kRounds);
}

}  // namespace
