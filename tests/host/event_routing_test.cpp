#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "message/status.h"
#include "tests/host/scriptedcomponent.h"

namespace {

constexpr std::uint32_t kReport = 0x81110u;
constexpr std::uint32_t kNotice = 0xfc08040eu;

class EventRouting : public ::testing::Test {
 protected:
  // Records the payload byte of each kNotice event the host application sees.
  void SetUp() override {
    runtime.subscribe(kNotice, [this](const wyn::IMessage& event) {
      seen.push_back(*static_cast<const unsigned char*>(event.getData()));
    });
  }

  int post(unsigned char value) { return runtime.postEvent(kNotice, &value, 1); }

  std::shared_ptr<ScriptedComponent> listenerFor(const std::string& name, std::uint32_t event) {
    return std::make_shared<ScriptedComponent>(runtime.api(), name, std::vector<std::uint32_t>{},
                                               std::vector<std::uint32_t>{event});
  }

  LCD::Host::Runtime runtime;
  std::vector<int> seen;
};

TEST_F(EventRouting, PostedEventsWaitForThePumpAndKeepTheirOrder) {
  post(1);
  post(2);
  EXPECT_TRUE(seen.empty());

  EXPECT_EQ(runtime.pumpEvents(), 2);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(runtime.pumpEvents(), 0);
}

TEST_F(EventRouting, SentEventsReachOnlyCurrentSubscribersOfTheirIdBeforeSendReturns) {
  std::vector<std::uint32_t> reports;
  const auto subscription =
      runtime.subscribe(kReport, [&reports](const wyn::IMessage& event) { reports.push_back(event.getId()); });
  const unsigned char value = 5;
  EXPECT_EQ(runtime.sendEvent(kReport, &value, 1), wyn::status::ok);
  EXPECT_EQ(reports, (std::vector<std::uint32_t>{kReport}));

  EXPECT_TRUE(runtime.unsubscribe(subscription));
  EXPECT_FALSE(runtime.unsubscribe(subscription));
  runtime.sendEvent(kReport, &value, 1);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_TRUE(seen.empty());
}

TEST_F(EventRouting, ComponentsThatRegisteredTheIdReceiveIt) {
  const auto listener = listenerFor("listener", kReport);
  const auto bystander = listenerFor("bystander", kNotice);
  runtime.initialise(listener);
  runtime.initialise(bystander);
  const char report[] = "{\"ErrorCode\":0}";

  runtime.sendEvent(kReport, report, sizeof report);
  runtime.postEvent(kReport, report, sizeof report);
  runtime.pumpEvents();

  ASSERT_EQ(listener->received().size(), 2u);
  EXPECT_EQ(listener->received()[1].type, wyn::kEventType);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(listener->received()[1].payload.data())), report);
  EXPECT_TRUE(bystander->received().empty());
}

TEST_F(EventRouting, ComponentCanAnswerAnEventWithAnotherEvent) {
  const auto relay = listenerFor("relay", kReport);
  relay->answer = [this](ScriptedComponent&, const wyn::IMessage& report) -> const wyn::IMessage* {
    auto& events = runtime.eventDispatcher();
    wyn::IMessage* notice = events.createMessage(kNotice, report.getDataSize(), report.getData(), "relay");
    events.post(&notice);
    return nullptr;
  };
  runtime.initialise(relay);
  const unsigned char value = 9;
  runtime.postEvent(kReport, &value, 1);

  EXPECT_EQ(runtime.pumpEvents(), 1);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(runtime.pumpEvents(), 1);
  EXPECT_EQ(seen, (std::vector<int>{9}));
}

TEST_F(EventRouting, DispatcherTakesEveryMessageItIsGiven) {
  auto& events = runtime.eventDispatcher();
  wyn::IMessage* command = runtime.commandDispatcher().createMessage(kNotice, 0, nullptr, "x");
  wyn::IMessage* posted = runtime.commandDispatcher().createMessage(kNotice, 0, nullptr, "x");
  wyn::IMessage* none = nullptr;

  EXPECT_EQ(events.send(&command, 9), wyn::status::badMessage);
  EXPECT_EQ(events.post(&posted), wyn::status::badMessage);
  EXPECT_EQ(events.post(&none), wyn::status::badMessage);
  EXPECT_EQ(events.send(nullptr, 9), wyn::status::badMessage);
  EXPECT_EQ(command, nullptr);
  EXPECT_EQ(posted, nullptr);
  EXPECT_EQ(runtime.pumpEvents(), 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(EventRouting, FailingListenerDoesNotStopTheOthers) {
  runtime.subscribe(kNotice, [](const wyn::IMessage&) { throw std::runtime_error("subscriber failed"); });
  runtime.subscribe(kNotice, [this](const wyn::IMessage&) { seen.push_back(-1); });
  const unsigned char value = 3;

  EXPECT_EQ(runtime.sendEvent(kNotice, &value, 1), wyn::status::handlerFailed);
  EXPECT_EQ(seen, (std::vector<int>{3, -1}));
}

}  // namespace
