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

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

TEST(PluginEntry, RecordDescriptorAndExports) {
  TracedPlugin plugin(Handback::Reset, {}, false);
  EXPECT_EQ(plugin.creation, (Trace{"api.getService(wyn_default_messagecenter)", "api.getService(commanddispatcher)",
                                    "api.getService(eventdispatcher)"}));
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
  EXPECT_EQ(commandOutput("readelf -d '" + path + "' | grep -o 'Library [a-z]*: .*'"),
            "Library soname: [liblayercutoutmodel.so.1]\nLibrary runpath: [$ORIGIN:$ORIGIN/..:$ORIGIN/../lib]\n");
}

// A component of this process on the same message handler base.
struct Sender : LCD::Message::MessageHandler {
  Sender() { name = "sender"; }
  void onInit() override {}
};

// A host that offers its services to the components made while it lives.
struct HostedSender {
  explicit HostedSender(Handback handback) : host(trace, handback) { trace.clear(); }
  struct Offered {
    explicit Offered(TraceHost& host) { wyn::api::get().host = &host; }
    ~Offered() { wyn::api::get().host = nullptr; }
  };
  Trace trace;
  TraceHost host;
  Offered offered{host};
  Sender sender;
};

// The answer a dispatched command gets, what the sender does with it, and the
// reply it keeps.
struct Answer {
  const char* name;
  std::vector<unsigned char> bytes;
  Trace afterDispatch;
  int kept;
};

const Answer kAnswers[] = {
    {"exact size", {5, 0, 0, 0}, {"reply.getDataSize", "reply.getData", "commands.releaseMessage(reply)"}, 5},
    {"too short", {6, 0}, {"reply.getDataSize", "commands.releaseMessage(reply)"}, -1},
    {"too long", {6, 0, 0, 0, 0}, {"reply.getDataSize", "commands.releaseMessage(reply)"}, -1},
    {"none", {}, {"commands.releaseMessage(null)"}, -1},
};

void PrintTo(const Answer& answer, std::ostream* out) { *out << answer.name; }

class SendCommand : public testing::TestWithParam<std::tuple<Answer, Handback>> {};

TEST_P(SendCommand, KeepsAFittingReplyAndReleasesEachMessageOnce) {
  const auto& [answer, handback] = GetParam();
  HostedSender hosted(handback);
  Trace expected = {"commands.createMessage(0xabc, 4, [7], sender)", "commands.dispatch(0)"};
  expected.insert(expected.end(), answer.afterDispatch.begin(), answer.afterDispatch.end());
  expected.push_back("commands.releaseMessage(request)");
  int request = 7;
  int reply = -1;
  hosted.host.commands.answerBytes = answer.bytes;
  EXPECT_EQ(hosted.sender.sendCommand(0xabc, sizeof request, &request, 4, &reply), 0);
  EXPECT_EQ(hosted.trace, expected);
  EXPECT_EQ(reply, answer.kept);
}

std::string answerName(const testing::TestParamInfo<std::tuple<Answer, Handback>>& info) {
  return testName(std::string(std::get<0>(info.param).name) + " " + handbackName(std::get<1>(info.param)));
}

INSTANTIATE_TEST_SUITE_P(Answers, SendCommand,
                         testing::Combine(testing::ValuesIn(kAnswers), testing::ValuesIn(kHandbacks)), answerName);

// A sent event is the plug-in's own report path, which the call traces cover.
TEST(MessageHandler, HandsAPostedEventOverOnce) {
  HostedSender hosted(Handback::Leave);
  int event = 7;
  hosted.sender.postEvent(0xdef, sizeof event, &event);
  EXPECT_EQ(hosted.trace, (Trace{"events.createMessage(0xdef, 4, [7], sender)", "events.post"}));
}

TEST(MessageHandler, KeepsTheFirstHandlerRegisteredForAnId) {
  for (const std::uint32_t type : {kCommandType, kEventType}) {
    HostedSender hosted(Handback::Reset);
    const TraceMessage first(hosted.trace, 0, 1, nullptr, 0), later(hosted.trace, 0, 2, nullptr, 0);
    const auto add = type == kCommandType ? &Sender::registerCommand : &Sender::registerEvent;
    (hosted.sender.*add)(0xabc, [&](const wyn::IMessage*) { return &first; });
    (hosted.sender.*add)(0xabc, [&](const wyn::IMessage*) { return &later; });
    const TraceMessage message(hosted.trace, type, 0xabc, nullptr, 0);
    EXPECT_EQ(hosted.sender.handleMessage(&message), &first) << std::hex << type;
  }
}

}  // namespace
