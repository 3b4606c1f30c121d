#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/pluginlibrary.h"
#include "layercutout/messageids.h"
#include "tests/plugin/logcapture.h"
#include "tests/plugin/recordinghost.h"

namespace {

namespace Id = LayerCutout::MessageId;

// A component made by the plug-in's own descriptor, served by a recording host.
class Component {
 public:
  explicit Component(RecordingHost::Services services = {}) : host(services), library(LCD_PLUGIN_PATH) {
    library.init(&host);
    descriptor = library.info().components[0];
    instance = descriptor->creator();
    handler = descriptor->getMessageHandler(instance);
  }
  ~Component() { descriptor->deletor(instance); }

  const wyn::IMessage* deliver(std::uint32_t type, std::uint32_t id, const void* data = nullptr, int size = 0) {
    const TestMessage message(type, id, data, size);
    return handler->handleMessage(&message);
  }
  void initialise() { deliver(wyn::kEventType, wyn::kInitialiseId); }

  RecordingHost host;
  LCD::Host::PluginLibrary library;
  const wyn::ComponentInfo* descriptor = nullptr;
  void* instance = nullptr;
  wyn::IMessageHandler* handler = nullptr;
};

const std::vector<Registration> kMessageTable = {
    {'c', static_cast<int>(0xfc050414u), "layercutoutmodel"},
    {'c', static_cast<int>(0xfc050413u), "layercutoutmodel"},
    {'c', static_cast<int>(0xfc050415u), "layercutoutmodel"},
    {'e', 0x81110, "layercutoutmodel"},
    {'e', 0x81111, "layercutoutmodel"},
};

const std::uint8_t kReadCursor[16] = {};  // layer 0, cursor off at 0,0: a well-formed command

TEST(MessageFrame, InitialiseAnnouncesTheMessageTableInOrder) {
  Component component;
  EXPECT_TRUE(component.host.registrations.empty());
  EXPECT_EQ(component.deliver(0x12345678u, wyn::kInitialiseId), nullptr);  // any type initialises
  EXPECT_EQ(component.host.registrations, kMessageTable);
}

TEST(MessageFrame, ASecondInitialiseAnnouncesAgainAndKeepsTheHandlers) {
  Component component;
  component.initialise();
  component.initialise();
  std::vector<Registration> twice = kMessageTable;
  twice.insert(twice.end(), kMessageTable.begin(), kMessageTable.end());
  EXPECT_EQ(component.host.registrations, twice);

  LogCapture log;
  component.deliver(wyn::kCommandType, Id::kSetLayerCutoutCursor, kReadCursor, 7);
  EXPECT_EQ(log.texts(), std::vector<std::string>{"command does not correct."});
}

TEST(MessageFrame, RoutesByTypeAndIdOnlyAfterInitialise) {
  Component component;
  LogCapture log;
  EXPECT_EQ(component.deliver(wyn::kCommandType, Id::kSetLayerCutout), nullptr);
  EXPECT_TRUE(log.texts().empty());  // nothing registered yet: not even the size check runs

  component.initialise();
  struct Case {
    std::uint32_t type;
    std::uint32_t id;
    bool routed;
  };
  const Case cases[] = {
      {wyn::kCommandType, Id::kSetLayerCutout, true},
      {wyn::kEventType, Id::kSetLayerCutout, false},
      {wyn::kCommandType, Id::kLayerCutoutReport, false},
      {wyn::kEventType, Id::kLayerCutoutReport, true},
      {0xF0000003u, Id::kSetLayerCutout, false},
      {wyn::kCommandType, 0xFFFF0001u, false},
      {wyn::kCommandType, 0xFFFF0002u, false},
      {wyn::kCommandType, 0xFFFFFFFEu, false},
      {wyn::kCommandType, 0xFFFFFFFFu, false},
      {wyn::kCommandType, 0xFFFF0003u, false},
      {wyn::kCommandType, 0x00000001u, false},
  };
  for (const auto& c : cases) {
    log.clear();
    EXPECT_EQ(component.deliver(c.type, c.id), nullptr);
    // A routed message with no payload is refused by its handler, which logs.
    EXPECT_EQ(log.texts().size(), c.routed ? 1u : 0u) << std::hex << c.type << " " << c.id;
  }
}

TEST(MessageFrame, EventsAreSentUnderTheHandlerName) {
  Component component({true, true, true});
  component.initialise();
  LogCapture log;
  const std::string report = R"({"body":"{\"layerId\":6}"})";
  component.deliver(wyn::kEventType, Id::kLayerCutoutCursorReport, report.c_str(), static_cast<int>(report.size() + 1));
  ASSERT_EQ(component.host.events.size(), 1u);
  EXPECT_EQ(component.host.events[0].first, 9);  // sent, not posted
  const wyn::IMessage& event = *component.host.events[0].second;
  EXPECT_EQ(event.getId(), Id::kLayerCutoutCursorChanged);
  EXPECT_EQ(event.getDataSize(), 28);
  EXPECT_STREQ(event.getSender(), "layercutoutmodel");
  EXPECT_TRUE(log.texts().empty());
}

TEST(MessageFrame, MissingServicesAreLoggedNeverCalledThrough) {
  Component component({false, false, false});
  LogCapture log;
  component.initialise();
  EXPECT_EQ(log.texts(),
            (std::vector<std::string>{"command dispatcher is not available.", "event dispatcher is not available."}));
  EXPECT_TRUE(component.host.registrations.empty());

  log.clear();
  const std::string report = R"({"body":"{}"})";
  component.deliver(wyn::kEventType, Id::kLayerCutoutCursorReport, report.c_str(), static_cast<int>(report.size() + 1));
  EXPECT_EQ(log.texts(), std::vector<std::string>{"event dispatcher is not available."});
  EXPECT_TRUE(component.host.events.empty());
}

}  // namespace
