// The plug-in's entry points, its component's life in a host, the routing of
// messages by type and id, and the message handler's own sending.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "message/api.h"
#include "message/messagehandler.h"
#include "proto/layercutout.h"
#include "tests/plugin/tracedplugin.h"

namespace {

const std::string kOnInit = "virtual void LayerCutout::LayerCutoutModel::onInit()";
const std::string kCursorReport =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage*)";
const std::string kSetCutout = "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutout(const wyn::IMessage*)";
const Trace kLookUps = {"api.getService(wyn_default_messagecenter)", "api.getService(commanddispatcher)",
                        "api.getService(eventdispatcher)"};
const Trace kMessageTable = {
    "commands.addHandler(0xfc050414, layercutoutmodel)", "commands.addHandler(0xfc050413, layercutoutmodel)",
    "commands.addHandler(0xfc050415, layercutoutmodel)", "events.addHandler(0x81110, layercutoutmodel)",
    "events.addHandler(0x81111, layercutoutmodel)"};
const Trace kRouted = {"msg.getId", "msg.getId", "msg.getType"};

Trace operator+(Trace a, const Trace& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

TEST(PluginEntry, RecordDescriptorAndExports) {
  TracedPlugin plugin({}, false);
  const wyn::PluginInfo& info = plugin.library.info();
  EXPECT_EQ(&info, &plugin.library.info());
  EXPECT_STREQ(info.apiVersion, "0.1");
  EXPECT_STREQ(info.name, "layercutoutmodel");
  EXPECT_STREQ(info.version, "0.1.0");
  EXPECT_STREQ(info.info, "{\"desc\":\"layer cutout model plugin!\",\"end\":0 }");
  EXPECT_EQ(info.components[1], nullptr);
  EXPECT_STREQ(plugin.descriptor->name, "tavro.lcd.model.layer.cutout");
  EXPECT_EQ(std::string(plugin.descriptor->info), std::string("{\"end\":0 }\r\n"));
  EXPECT_EQ(static_cast<void*>(plugin.descriptor->getMessageHandler(plugin.component)), plugin.component);
  plugin.descriptor->deletor(nullptr);

  const std::string path = LCD_PLUGIN_PATH;
  EXPECT_EQ(commandOutput("nm -D --defined-only '" + path + "' | awk '{print $NF}' | sort"), "pluginfo\npluginit\n");
  const std::string dynamic = commandOutput("readelf -d '" + path + "'");
  EXPECT_NE(dynamic.find("Library soname: [liblayercutoutmodel.so.1]"), std::string::npos) << dynamic;
  EXPECT_NE(dynamic.find("Library runpath: [$ORIGIN:$ORIGIN/..:$ORIGIN/../lib]"), std::string::npos) << dynamic;
}

TEST(ComponentLife, LooksUpServicesThenAnnouncesItsTableAtEachInitialise) {
  TracedPlugin plugin({}, false);
  EXPECT_EQ(plugin.creation, kLookUps);
  plugin.deliver(kCommandType, 0xfc050413);  // nothing registered yet
  EXPECT_EQ(plugin.trace, kRouted);
  plugin.trace.clear();
  EXPECT_EQ(plugin.deliver(0x12345678u, kInitialise), nullptr);  // any type initialises
  plugin.deliver(kCommandType, kInitialise);
  EXPECT_EQ(plugin.trace, Trace{"msg.getId"} + kMessageTable + Trace{"msg.getId"} + kMessageTable);
}

TEST(ComponentLife, MissingServicesAreLoggedAndNeverCalledThrough) {
  TracedPlugin plugin({true, false, false}, false);
  plugin.deliver(kEventType, kInitialise);
  EXPECT_EQ(plugin.trace, (Trace{"msg.getId", logLine(QtWarningMsg, kOnInit, "command dispatcher is not available."),
                                 logLine(QtWarningMsg, kOnInit, "event dispatcher is not available.")}));
  plugin.trace.clear();
  plugin.report(0x81111, R"({"body":"{}"})");
  EXPECT_EQ(plugin.trace.back(), logLine(QtWarningMsg, kCursorReport, "event dispatcher is not available."));

  TracedPlugin noCenter({false, true, true});
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers;
  EXPECT_EQ(noCenter.command(0xfc050413, &layers, sizeof layers, R"({"code":0})"), nullptr);
  EXPECT_EQ(noCenter.trace.back(), logLine(QtWarningMsg, kSetCutout, "message center is not available."));
}

TEST(Routing, ByTypeAndIdReservedIdsIgnored) {
  TracedPlugin plugin;
  const Trace refused =
      kRouted + Trace{"msg.getDataSize", logLine(QtWarningMsg, kSetCutout, "command does not correct.")};
  const struct {
    std::uint32_t type;
    std::uint32_t id;
    Trace expected;
  } cases[] = {
      {kCommandType, 0xfc050413, refused},        {kEventType, 0xfc050413, kRouted},
      {kCommandType, 0x81110, kRouted},           {0xF0000003u, 0xfc050413, kRouted},
      {kCommandType, 0xFFFF0001u, {"msg.getId"}}, {kCommandType, 0xFFFF0002u, {"msg.getId"}},
      {kCommandType, 0xFFFFFFFEu, {"msg.getId"}}, {kCommandType, 0xFFFFFFFFu, {"msg.getId"}},
      {kCommandType, 0xFFFF0003u, kRouted},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.type << " " << c.id);
    plugin.trace.clear();
    EXPECT_EQ(plugin.deliver(c.type, c.id), nullptr);
    EXPECT_EQ(plugin.trace, c.expected);
  }
}

// A component of this process on the same message handler base.
class Sender : public LCD::Message::MessageHandler {
 public:
  Sender() { name = "sender"; }

 protected:
  void onInit() override {}
};

TEST(MessageHandler, SendsCommandsAndEventsAndReleasesBothThroughOneSlot) {
  Trace trace;
  TraceHost host(trace);
  wyn::api::get().host = &host;
  Sender sender;
  EXPECT_EQ(trace, kLookUps);

  int request = 7;
  int reply = -1;
  const struct {
    std::vector<unsigned char> answer;
    int replySize;
    Trace afterDispatch;
    int replyAfter;
  } cases[] = {
      {{5, 0, 0, 0}, 4, {"reply.getDataSize", "reply.getData", "commands.releaseMessage(reply)"}, 5},
      {{6, 0}, 4, {"reply.getDataSize", "commands.releaseMessage(reply)"}, -1},
      {{}, 4, {"commands.releaseMessage(null)"}, -1},
  };
  for (const auto& c : cases) {
    trace.clear();
    reply = -1;
    host.commands.answerBytes = c.answer;
    EXPECT_EQ(sender.sendCommand(0xabc, sizeof request, &request, c.replySize, &reply), 0);
    EXPECT_EQ(trace, (Trace{"commands.createMessage(0xabc, 4, [7], sender)", "commands.dispatch(0)"} + c.afterDispatch +
                      Trace{"commands.releaseMessage(request)"}));
    EXPECT_EQ(reply, c.replyAfter);
  }

  trace.clear();
  sender.postEvent(0xdef, sizeof request, &request);
  sender.sendEvent(0xdef, sizeof request, &request);
  EXPECT_EQ(trace, (Trace{"events.createMessage(0xdef, 4, [7], sender)", "events.post",
                          "events.createMessage(0xdef, 4, [7], sender)", "events.send(9)"}));
  wyn::api::get().host = nullptr;
}

}  // namespace
