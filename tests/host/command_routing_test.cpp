#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "message/status.h"
#include "tests/host/scriptedcomponent.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kFirst = 0xfc050413u;
constexpr std::uint32_t kSecond = 0xfc050415u;

class CommandRouting : public ::testing::Test {
 protected:
  std::shared_ptr<ScriptedComponent> add(const std::string& name, std::vector<std::uint32_t> commands) {
    auto component = std::make_shared<ScriptedComponent>(runtime.api(), name, std::move(commands));
    runtime.initialise(component);
    return component;
  }

  LCD::Host::Runtime runtime;
};

TEST_F(CommandRouting, ReachesTheComponentThatRegisteredTheId) {
  const auto first = add("first", {kFirst});
  const auto second = add("second", {kSecond});
  const Bytes payload{1, 2, 3};

  const auto result = runtime.sendCommand(kSecond, payload.data(), 3);

  EXPECT_EQ(result.status, wyn::status::ok);
  EXPECT_EQ(result.reply, payload);
  EXPECT_TRUE(first->received().empty());
  ASSERT_EQ(second->received().size(), 1u);
  EXPECT_EQ(second->received()[0].type, wyn::kCommandType);
  EXPECT_EQ(second->received()[0].sender, "host");
}

TEST_F(CommandRouting, ReplyCarriesTheAnsweringMessageAndIsReleasedByTheCaller) {
  add("first", {kFirst});
  auto& dispatcher = runtime.commandDispatcher();
  const int value = 42;
  wyn::IMessage* request = dispatcher.createMessage(kFirst, sizeof value, &value, "caller");
  wyn::IReply* reply = nullptr;

  ASSERT_EQ(dispatcher.dispatch(&request, &reply, 0), wyn::status::ok);
  ASSERT_NE(reply, nullptr);
  EXPECT_STREQ(reply->getMessage()->getSender(), "first");
  EXPECT_EQ(reply->getDataSize(), static_cast<int>(sizeof value));
  EXPECT_EQ(*static_cast<const int*>(reply->getData()), 42);

  wyn::IMessage* answer = wyn::releasable(reply);
  dispatcher.releaseMessage(&answer);
  dispatcher.releaseMessage(&request);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(request, nullptr);
}

TEST_F(CommandRouting, UnroutableRequestsYieldAStatusAndNoReply) {
  add("first", {kFirst});
  auto& dispatcher = runtime.commandDispatcher();
  wyn::IMessage* unknown = dispatcher.createMessage(kSecond, 0, nullptr, "caller");
  wyn::IMessage* event = runtime.eventDispatcher().createMessage(kFirst, 0, nullptr, "caller");
  wyn::IMessage* none = nullptr;
  const struct {
    const char* what;
    wyn::IMessage** request;
    int status;
  } cases[] = {
      {"unregistered id", &unknown, wyn::status::noHandler},
      {"event instead of command", &event, wyn::status::badMessage},
      {"null request", &none, wyn::status::badMessage},
      {"no request pointer", nullptr, wyn::status::badMessage},
  };
  for (const auto& c : cases) {
    wyn::IReply* stale = reinterpret_cast<wyn::IReply*>(&none);
    EXPECT_EQ(dispatcher.dispatch(c.request, &stale, 0), c.status) << c.what;
    EXPECT_EQ(stale, nullptr) << c.what;
  }
  dispatcher.releaseMessage(&unknown);
  dispatcher.releaseMessage(&event);
}

TEST_F(CommandRouting, HandlerOutcomesBecomeStatuses) {
  const auto component = add("first", {kFirst, kSecond});
  component->answer = [](ScriptedComponent&, const wyn::IMessage& msg) -> const wyn::IMessage* {
    if (msg.getId() == kSecond) {
      throw std::runtime_error("device unreachable");
    }
    return nullptr;
  };

  const auto silent = runtime.sendCommand(kFirst, nullptr, 0);
  EXPECT_EQ(silent.status, wyn::status::ok);
  EXPECT_FALSE(silent.reply.has_value());
  EXPECT_EQ(runtime.sendCommand(kSecond, nullptr, 0).status, wyn::status::handlerFailed);
}

TEST_F(CommandRouting, FirstClaimOnAnIdOrAHandlerNameStays) {
  const auto first = add("first", {kFirst, kFirst});
  const auto rival = add("rival", {kFirst});
  const auto twin = add("first", {kSecond});

  EXPECT_EQ(first->registrationResults, (std::vector<int>{wyn::status::ok, wyn::status::ok}));
  EXPECT_EQ(rival->registrationResults, (std::vector<int>{wyn::status::idTaken}));
  EXPECT_EQ(twin->registrationResults, (std::vector<int>{wyn::status::nameTaken}));
  runtime.sendCommand(kFirst, nullptr, 0);
  EXPECT_EQ(first->received().size(), 1u);
  EXPECT_TRUE(rival->received().empty());
  EXPECT_EQ(runtime.sendCommand(kSecond, nullptr, 0).status, wyn::status::noHandler);
}

TEST_F(CommandRouting, RemovedComponentFreesItsIds) {
  const auto first = add("first", {kFirst});
  runtime.remove(first.get());
  EXPECT_EQ(runtime.sendCommand(kFirst, nullptr, 0).status, wyn::status::noHandler);

  const auto successor = add("successor", {kFirst});
  EXPECT_EQ(successor->registrationResults, (std::vector<int>{wyn::status::ok}));
  EXPECT_EQ(runtime.sendCommand(kFirst, nullptr, 0).status, wyn::status::ok);
}

TEST_F(CommandRouting, ComponentRemovedDuringItsOwnDeliveryLivesUntilItReturns) {
  auto component = add("first", {kFirst});
  component->answer = [this](ScriptedComponent& self, const wyn::IMessage& msg) {
    runtime.remove(&self);
    return self.copyOf(msg);
  };
  component.reset();

  EXPECT_EQ(runtime.sendCommand(kFirst, nullptr, 0).status, wyn::status::ok);
  EXPECT_EQ(runtime.sendCommand(kFirst, nullptr, 0).status, wyn::status::noHandler);
}

}  // namespace
