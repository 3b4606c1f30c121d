// The plug-in's entry points and descriptor, and the message handler's own
// sending, which no message to the model reaches.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "message/api.h"
#include "message/messagehandler.h"
#include "tests/plugin/tracehost.h"

namespace {

const Trace kLookUps = {"api.getService(wyn_default_messagecenter)", "api.getService(commanddispatcher)",
                        "api.getService(eventdispatcher)"};

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

TEST(PluginEntry, RecordDescriptorAndExports) {
  TracedPlugin plugin({}, false);
  EXPECT_EQ(plugin.creation, kLookUps);
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

// A component of this process on the same message handler base.
struct Sender : LCD::Message::MessageHandler {
  Sender() { name = "sender"; }
  void onInit() override {}
};

TEST(MessageHandler, SendsCommandsAndEventsAndReleasesBothThroughOneSlot) {
  Trace trace;
  TraceHost host(trace);
  wyn::api::get().host = &host;
  Sender sender;

  int request = 7;
  // The device's answer, what the sender does with it, and the reply it keeps.
  const std::tuple<std::vector<unsigned char>, Trace, int> cases[] = {
      {{5, 0, 0, 0}, {"reply.getDataSize", "reply.getData", "commands.releaseMessage(reply)"}, 5},
      {{6, 0}, {"reply.getDataSize", "commands.releaseMessage(reply)"}, -1},
      {{6, 0, 0, 0, 0}, {"reply.getDataSize", "commands.releaseMessage(reply)"}, -1},
      {{}, {"commands.releaseMessage(null)"}, -1},
  };
  for (const auto& [answer, afterDispatch, kept] : cases) {
    Trace expected = {"commands.createMessage(0xabc, 4, [7], sender)", "commands.dispatch(0)"};
    expected.insert(expected.end(), afterDispatch.begin(), afterDispatch.end());
    expected.push_back("commands.releaseMessage(request)");
    trace.clear();
    int reply = -1;
    host.commands.answerBytes = answer;
    EXPECT_EQ(sender.sendCommand(0xabc, sizeof request, &request, 4, &reply), 0);
    EXPECT_EQ(trace, expected);
    EXPECT_EQ(reply, kept);
  }

  trace.clear();
  sender.postEvent(0xdef, sizeof request, &request);
  sender.sendEvent(0xdef, sizeof request, &request);
  EXPECT_EQ(trace, (Trace{"events.createMessage(0xdef, 4, [7], sender)", "events.post",
                          "events.createMessage(0xdef, 4, [7], sender)", "events.send(9)"}));
  wyn::api::get().host = nullptr;
}

}  // namespace
