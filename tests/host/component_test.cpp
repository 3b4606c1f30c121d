#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/component.h"
#include "host/pluginerror.h"
#include "host/runtime.h"
#include "message/api.h"
#include "message/componenttmpl.h"
#include "message/icommanddispatcher.h"
#include "message/status.h"

namespace {

constexpr std::uint32_t kCommand = 0x100u;

std::vector<std::string> lifeEvents;

// Registers kCommand when initialised, reaching the dispatcher the way plug-in
// components do.
class CountingComponent : public wyn::IMessageHandler {
 public:
  CountingComponent() { lifeEvents.push_back("created"); }
  ~CountingComponent() override { lifeEvents.push_back("destroyed"); }

  const wyn::IMessage* handleMessage(const wyn::IMessage*) override {
    static_cast<wyn::ICommandDispatcher*>(wyn::api::get().host->getService(wyn::kCommandDispatcherService))
        ->addHandler(static_cast<int>(kCommand), "counting");
    if (failInitialisation) {
      throw std::runtime_error("initialisation failed");
    }
    return nullptr;
  }

  static inline bool failInitialisation = false;
};

}  // namespace

template <>
wyn::ComponentInfo wyn::ComponentTmpl<CountingComponent>::componentInfo =
    wyn::ComponentTmpl<CountingComponent>::describe("test.counting", "{\"end\":0 }\r\n");

namespace {

using Counting = wyn::ComponentTmpl<CountingComponent>;

class ComponentLifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    wyn::api::get().host = runtime.api();
    lifeEvents.clear();
    CountingComponent::failInitialisation = false;
  }
  void TearDown() override { wyn::api::get().host = nullptr; }

  // Stands in for a plug-in library: records when it would be closed.
  static std::shared_ptr<const void> library() {
    return std::shared_ptr<const void>(&lifeEvents, [](const void*) { lifeEvents.push_back("closed"); });
  }

  LCD::Host::Runtime runtime;
};

TEST_F(ComponentLifecycle, TemplateFunctionsCreateViewAndDestroy) {
  void* instance = Counting::componentInfo.creator();
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(static_cast<void*>(Counting::componentInfo.getMessageHandler(instance)), instance);
  Counting::componentInfo.deletor(nullptr);
  Counting::componentInfo.deletor(instance);

  EXPECT_EQ(lifeEvents, (std::vector<std::string>{"created", "destroyed"}));
  EXPECT_STREQ(Counting::componentInfo.name, "test.counting");
}

TEST_F(ComponentLifecycle, ComponentIsRoutedWhileAliveAndOutlivedByItsLibrary) {
  {
    const LCD::Host::Component component(Counting::componentInfo, runtime, library());
    EXPECT_STREQ(component.info(), "{\"end\":0 }\r\n");
    EXPECT_EQ(runtime.sendCommand(kCommand, nullptr, 0).status, wyn::status::ok);
  }
  EXPECT_EQ(runtime.sendCommand(kCommand, nullptr, 0).status, wyn::status::noHandler);
  EXPECT_EQ(lifeEvents, (std::vector<std::string>{"created", "destroyed", "closed"}));
}

TEST_F(ComponentLifecycle, FailedInitialisationLeavesNothingBehind) {
  CountingComponent::failInitialisation = true;
  EXPECT_THROW(LCD::Host::Component(Counting::componentInfo, runtime, library()), std::runtime_error);

  EXPECT_EQ(lifeEvents, (std::vector<std::string>{"created", "destroyed", "closed"}));
  EXPECT_EQ(runtime.sendCommand(kCommand, nullptr, 0).status, wyn::status::noHandler);
}

TEST_F(ComponentLifecycle, DescriptorThatYieldsNoInstanceIsAPluginError) {
  const wyn::ComponentInfo failing{[]() -> void* { return nullptr; }, Counting::deletor, Counting::getMessageHandler,
                                   "test.failing", ""};
  const wyn::ComponentInfo incomplete{Counting::creator, nullptr, Counting::getMessageHandler, nullptr, ""};
  EXPECT_THROW(LCD::Host::Component(failing, runtime, library()), LCD::Host::PluginError);
  EXPECT_THROW(LCD::Host::Component(incomplete, runtime, library()), LCD::Host::PluginError);
  EXPECT_EQ(lifeEvents, (std::vector<std::string>{"closed", "closed"}));
}

}  // namespace
