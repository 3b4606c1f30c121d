#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "host/runtime.h"
#include "message/status.h"
#include "tests/host/scriptedcomponent.h"

namespace {

constexpr std::uint32_t kSquare = 1;
constexpr std::uint32_t kNegate = 2;
constexpr std::uint32_t kTick = 3;
constexpr int kThreads = 4;
constexpr int kMessagesPerThread = 1000;

std::int64_t valueOf(const std::vector<unsigned char>& payload) {
  std::int64_t value = 0;
  std::memcpy(&value, payload.data(), sizeof value);
  return value;
}

// Threads dispatch commands to two components and post events at the same
// time; every answer must belong to its own question and no event may be lost.
TEST(ConcurrentDispatch, AnswersMatchTheirCommandsAcrossThreads) {
  LCD::Host::Runtime runtime;
  const auto squarer =
      std::make_shared<ScriptedComponent>(runtime.api(), "squarer", std::vector<std::uint32_t>{kSquare});
  const auto negator =
      std::make_shared<ScriptedComponent>(runtime.api(), "negator", std::vector<std::uint32_t>{kNegate});
  const auto compute = [](ScriptedComponent& self, const wyn::IMessage& msg) {
    std::int64_t value = 0;
    std::memcpy(&value, msg.getData(), sizeof value);
    const std::int64_t result = msg.getId() == kSquare ? value * value : -value;
    return self.answerWith(msg, &result, sizeof result);
  };
  squarer->answer = compute;
  negator->answer = compute;
  runtime.initialise(squarer);
  runtime.initialise(negator);
  std::atomic<int> ticks{0};
  runtime.subscribe(kTick, [&ticks](const wyn::IMessage&) { ++ticks; });

  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&runtime, &wrong, t] {
      for (int i = 0; i < kMessagesPerThread; ++i) {
        const std::int64_t value = t * kMessagesPerThread + i;
        const std::uint32_t id = i % 2 == 0 ? kSquare : kNegate;
        const auto result = runtime.sendCommand(id, &value, sizeof value);
        const std::int64_t expected = id == kSquare ? value * value : -value;
        if (result.status != wyn::status::ok || !result.reply || valueOf(*result.reply) != expected) {
          ++wrong;
        }
        runtime.postEvent(kTick, nullptr, 0);
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }

  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(squarer->received().size() + negator->received().size(),
            static_cast<std::size_t>(kThreads * kMessagesPerThread));
  EXPECT_EQ(runtime.pumpEvents(), kThreads * kMessagesPerThread);
  EXPECT_EQ(ticks.load(), kThreads * kMessagesPerThread);
}

}  // namespace
