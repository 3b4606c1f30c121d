#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/plugin.h"
#include "host/pluginerror.h"
#include "host/runtime.h"
#include "message/status.h"
#include "tests/host/plugins/testpluginprotocol.h"

namespace {

using Bytes = std::vector<unsigned char>;

class PluginLoader : public ::testing::Test {
 protected:
  LCD::Host::Runtime runtime;
};

TEST_F(PluginLoader, ExposesTheRecordAndTheDescriptorsInTableOrder) {
  const LCD::Host::Plugin plugin(LCD_HOST_TEST_PLUGIN, runtime);

  EXPECT_EQ(plugin.path(), LCD_HOST_TEST_PLUGIN);
  EXPECT_STREQ(plugin.info().apiVersion, "0.1");
  EXPECT_STREQ(plugin.info().name, TestPlugin::kPluginName);
  EXPECT_STREQ(plugin.info().version, TestPlugin::kPluginVersion);
  EXPECT_STREQ(plugin.info().info, "{}");
  ASSERT_EQ(plugin.components().size(), 2u);
  EXPECT_STREQ(plugin.components()[0]->name(), TestPlugin::kEchoComponent);
  EXPECT_STREQ(plugin.components()[0]->info(), "{\"end\":0 }\r\n");
  EXPECT_STREQ(plugin.components()[1]->name(), TestPlugin::kRelayComponent);
  EXPECT_EQ(plugin.findComponent(TestPlugin::kRelayComponent), plugin.components()[1].get());
  EXPECT_EQ(plugin.findComponent("layercutoutmodel"), nullptr);
}

TEST_F(PluginLoader, InitialisedComponentsAnswerCommands) {
  const LCD::Host::Plugin plugin(LCD_HOST_TEST_PLUGIN, runtime);
  const Bytes payload{1, 2, 3};

  const auto reversed = runtime.sendCommand(TestPlugin::kReverseCommand, payload.data(), 3);
  const auto relayed = runtime.sendCommand(TestPlugin::kRelayCommand, payload.data(), 3);

  EXPECT_EQ(reversed.status, wyn::status::ok);
  EXPECT_EQ(reversed.reply, (Bytes{3, 2, 1}));
  EXPECT_EQ(relayed.status, wyn::status::ok);
  EXPECT_EQ(relayed.reply, (Bytes{3, 2, 1}));
}

TEST_F(PluginLoader, ComponentsReceiveAndSendEvents) {
  const LCD::Host::Plugin plugin(LCD_HOST_TEST_PLUGIN, runtime);
  std::vector<std::string> events;
  const auto record = [&events](const wyn::IMessage& event) {
    events.push_back(std::string(event.getSender()) + ":" + static_cast<const char*>(event.getData()));
  };
  runtime.subscribe(TestPlugin::kPongEvent, record);
  runtime.subscribe(TestPlugin::kRelayedEvent, record);

  runtime.sendEvent(TestPlugin::kPingEvent, "ping", 5);
  const char unreversed[] = {'\0', 'o', 'l', 'l', 'e', 'h'};
  runtime.sendCommand(TestPlugin::kRelayCommand, unreversed, sizeof unreversed);
  EXPECT_EQ(events, (std::vector<std::string>{"echo:ping"}));
  runtime.pumpEvents();

  EXPECT_EQ(events, (std::vector<std::string>{"echo:ping", "relay:hello"}));
}

TEST_F(PluginLoader, UnloadingStopsRouting) {
  auto plugin = std::make_unique<LCD::Host::Plugin>(LCD_HOST_TEST_PLUGIN, runtime);
  plugin.reset();

  EXPECT_EQ(runtime.sendCommand(TestPlugin::kReverseCommand, nullptr, 0).status, wyn::status::noHandler);
}

TEST_F(PluginLoader, ReportsLibrariesThatCannotBeUsed) {
  const std::string missing = std::string(LCD_HOST_TEST_PLUGIN) + ".missing";
  const struct {
    std::string path;
    std::vector<std::string> fragments;
  } cases[] = {
      {missing, {"cannot load plug-in " + missing, "No such file"}},
      {LCD_HOST_NOT_A_PLUGIN, {LCD_HOST_NOT_A_PLUGIN, "lacks entry point pluginfo", "undefined symbol"}},
  };
  for (const auto& c : cases) {
    try {
      LCD::Host::Plugin plugin(c.path, runtime);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const LCD::Host::PluginError& error) {
      for (const auto& fragment : c.fragments) {
        EXPECT_NE(std::string(error.what()).find(fragment), std::string::npos) << error.what() << " lacks " << fragment;
      }
    }
  }
}

}  // namespace
