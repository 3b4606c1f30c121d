// Everything the loaded plug-in does outside itself, in order: the host
// interface slots it calls, its device library calls with their arguments,
// and what it logs, for every command and report road.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "layercutout/assessexchange.h"
#include "tests/plugin/tracedplugin.h"

namespace {

using LCD::ProtoModel::Layer::s_LayerCutout;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

const std::string kSetSignature = "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutout(const wyn::IMessage*)";
const std::string kCursorSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage*)";
const std::string kAssessSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::getLayerCutoutAssess(const wyn::IMessage*)";
const std::string kCutoutReportSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutout(const wyn::IMessage*)";
const std::string kCursorReportSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage*)";

// One new layer cutout with layerId 1, as every command below sends it.
const std::string kOneLayer =
    R"([{"layerId":1,"cutout":{"enable":0,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,"gain":50,)"
    R"("foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,"B":50},"hueClip":10,)"
    R"("hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,"shadow":0,"highLigh":0,"edgeSmooth":0}}}])";
const std::string kCursorRequest = R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":640,"y":360}}})";
const std::string kDefaultCursorAnswer = "[-1,0,0,0,50,50,50]";

Trace operator+(Trace a, const Trace& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Trace kRouted = {"msg.getId", "msg.getId", "msg.getType"};
const Trace kReadBody = {"getBody", "getBodySize"};
const Trace kRelease = {"deleteRequest", "deleteRespon"};
const Trace kLookUpCenter = {"api.getService(wyn_default_messagecenter)"};

Trace sent(const std::string& path, const std::string& body) {
  return {"HttpSingleTon::getInstance",
          "getHttpClient",
          "createRequest(PUT, " + path + ")",
          "setHead(Content-Type, application/json)",
          "HttpLogin::getInstance",
          "getToken",
          "setHead(Authorization, token-1)",
          "setBody(" + body + ", " + std::to_string(body.size()) + ")",
          "sendRequest(0)"};
}

std::string warning(const std::string& function, const std::string& text) {
  return logLine(QtWarningMsg, function, text);
}

Trace answered(std::uint32_t id, const std::string& payload, int size) {
  char hexId[16];
  std::snprintf(hexId, sizeof hexId, "0x%x", static_cast<unsigned>(id));
  return {"msg.getId", "center.createMessage(" + std::string(hexId) + ", layercutoutmodel, " + std::to_string(size) +
                           ", " + payload + ", 0)"};
}

class CallTrace : public ::testing::Test {
 protected:
  TracedPlugin plugin;
  Trace& trace = plugin.trace;
  const wyn::IMessage* command(std::uint32_t id, const void* data, int size, const std::optional<std::string>& reply) {
    return plugin.command(id, data, size, reply);
  }
};

struct CommandCase {
  const char* name;
  std::optional<std::string> reply;
  Trace after;  // what follows the send
  bool answers;
};

TEST_F(CallTrace, SetLayerCutout) {
  const Trace send = kRouted + Trace{"msg.getDataSize", "msg.getData"} + sent("/tavro/v1/layers/cutout", kOneLayer);
  const CommandCase cases[] = {
      {"code 0", R"({"code":0,"message":"ok"})", kReadBody + kRelease + kLookUpCenter + answered(0xfc050413, "1", 1),
       true},
      {"code 3", R"({"code":3,"message":"busy"})", kReadBody + kRelease + kLookUpCenter + answered(0xfc050413, "0", 1),
       true},
      {"no code", R"({"message":"x"})", kReadBody + kRelease + kLookUpCenter + answered(0xfc050413, "1", 1), true},
      {"empty reply", "",
       kReadBody +
           Trace{warning(kSetSignature,
                         "put layer cutout result json failed :  error at line :0 col :0 msg:read object must start "
                         "with {!")} +
           kRelease + kLookUpCenter + answered(0xfc050413, "1", 1),
       true},
      {"code read before the fault", R"({"code":7,"message":)",
       kReadBody +
           Trace{warning(kSetSignature,
                         "put layer cutout result json failed :  error at line :0 col :20 msg:not a valid string.")} +
           kRelease + kLookUpCenter + answered(0xfc050413, "0", 1),
       true},
      {"no response",
       std::nullopt,
       {warning(kSetSignature, "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout"),
        "deleteRequest"},
       false},
  };
  std::vector<s_LayerCutout> layers(1);
  layers[0].layerId = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    trace.clear();
    EXPECT_EQ(command(0xfc050413, &layers, sizeof layers, c.reply) != nullptr, c.answers);
    EXPECT_EQ(trace, send + c.after);
  }

  const std::vector<s_LayerCutout> none;
  trace.clear();
  command(0xfc050413, &none, sizeof none, R"({"code":0})");
  EXPECT_NE(std::find(trace.begin(), trace.end(), "setBody([], 2)"), trace.end());
}

TEST_F(CallTrace, SetLayerCutoutCursor) {
  const Trace sending =
      kRouted + Trace{"msg.getDataSize", "msg.getData"} + sent("/tavro/v1/layers/cutout/color", kCursorRequest);
  const Trace send = sending + kLookUpCenter + kReadBody;
  const auto answer = [](const std::string& payload) { return kRelease + answered(0xfc050415, payload, 28); };
  const CommandCase cases[] = {
      {"code 0, another layer",
       R"({"code":0,"data":{"layerId":9,"cursor":{"enable":1,"pos":{"x":640,"y":360},"color":{"R":255,"G":0,"B":255}}}})",
       answer("[9,1,640,360,255,0,255]"), true},
      {"code 0, no data", R"({"code":0})", answer("[0,0,0,0,50,50,50]"), true},
      {"code 3", R"({"code":3,"data":{"layerId":2,"cursor":{"enable":1}}})", answer(kDefaultCursorAnswer), true},
      {"data read in part", R"({"code":0,"data":{"layerId":2,"cursor":[]}})",
       Trace{warning(kCursorSignature,
                     "put layer cutout cursor result json failed : error at line :0 col :40 "
                     "msg:read object must start with {!")} +
           answer(kDefaultCursorAnswer),
       true},
  };
  const s_ReadLayerCursorColor request{2, {1, {640, 360}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    trace.clear();
    EXPECT_EQ(command(0xfc050415, &request, sizeof request, c.reply) != nullptr, c.answers);
    EXPECT_EQ(trace, send + c.after);
  }

  trace.clear();
  EXPECT_EQ(command(0xfc050415, &request, sizeof request, std::nullopt), nullptr);
  const Trace unanswered = {
      warning(kCursorSignature, "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout/color"),
      "deleteRequest"};
  EXPECT_EQ(trace, sending + unanswered);
}

TEST_F(CallTrace, CommandsRefuseAWrongPayloadWithoutSending) {
  const unsigned char bytes[32] = {};
  const struct {
    std::uint32_t id;
    const void* data;
    int size;
    Trace expected;
  } cases[] = {
      {0xfc050413, bytes, 23, {"msg.getDataSize", warning(kSetSignature, "command does not correct.")}},
      {0xfc050413, bytes, 25, {"msg.getDataSize", warning(kSetSignature, "command does not correct.")}},
      {0xfc050413, nullptr, 0, {"msg.getDataSize", warning(kSetSignature, "command does not correct.")}},
      {0xfc050413,
       nullptr,
       24,
       {"msg.getDataSize", "msg.getData", warning(kSetSignature, "command does not correct.")}},
      {0xfc050415, bytes, 15, {"msg.getDataSize", warning(kCursorSignature, "command does not correct.")}},
      {0xfc050415, bytes, 17, {"msg.getDataSize", warning(kCursorSignature, "command does not correct.")}},
      {0xfc050415,
       nullptr,
       16,
       {"msg.getDataSize", "msg.getData", warning(kCursorSignature, "command does not correct.")}},
      {0xfc050414, nullptr, 8, {"msg.getData", warning(kAssessSignature, "resp does not matches.")}},
      {0xfc050414, bytes, 8, {"msg.getData", warning(kAssessSignature, "resp does not matches.")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    trace.clear();
    EXPECT_EQ(command(c.id, c.data, c.size, R"({"code":0})"), nullptr);
    EXPECT_EQ(trace, kRouted + c.expected);
  }
}

TEST_F(CallTrace, GetLayerCutoutAssess) {
  using LCD::ProtoModel::Layer::s_LayerCutoutAssessResult;
  const Trace send =
      kRouted + Trace{"msg.getData"} + sent("/tavro/v1/system/auxiliary/assess/layers-cutout", kOneLayer);
  const struct {
    const char* name;
    int payloadSize;
    std::optional<std::string> reply;
    Trace after;
    bool written;
  } cases[] = {
      {"two results", 8,
       R"({"code":0,"message":"done","data":[{"layerId":1,"interfaces":[{"interfaceId":4}]},{"state":2}]})",
       kReadBody + kRelease, true},
      {"two results, size 0", 0,
       R"({"data":[{"layerId":1,"interfaces":[{"interfaceId":4}]},{"state":2}],"message":"done"})",
       kReadBody + kRelease, true},
      {"code 3", 8, R"({"code":3,"data":[{"layerId":1}]})", kReadBody + kRelease, false},
      {"no results", 8, R"({"code":0,"data":[]})", kReadBody + kRelease, false},
      {"undecodable", 8, R"({"code":0,"data":{}})",
       kReadBody +
           Trace{logLine(
               QtCriticalMsg, kAssessSignature,
               "Layer cutout assess decode json failed :  error at line :0 col :18 msg:array must start with [.")} +
           kRelease,
       false},
      {"no response",
       8,
       std::nullopt,
       {warning(
            kAssessSignature,
            "on put layer cutout assess sendRequest failed. url :  /tavro/v1/system/auxiliary/assess/layers-cutout"),
        "deleteRequest"},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayerCutout::AssessExchange exchange{};
    exchange.layers.resize(1);
    exchange.layers[0].layerId = 1;
    exchange.result.code = 42;
    exchange.result.message = "before";
    exchange.result.data.resize(1);
    LayerCutout::AssessExchange* pointer = &exchange;
    trace.clear();
    EXPECT_EQ(command(0xfc050414, &pointer, c.payloadSize, c.reply), nullptr);
    EXPECT_EQ(trace, send + c.after);
    if (c.written) {
      EXPECT_EQ(exchange.result.code, 0);
      EXPECT_EQ(exchange.result.message, "done");
      ASSERT_EQ(exchange.result.data.size(), 2u);
      EXPECT_EQ(exchange.result.data[0].interfaces.at(0).interfaceId, 4);
      EXPECT_EQ(exchange.result.data[1].state, 2);
    } else {
      EXPECT_EQ(exchange.result.code, 42);
      EXPECT_EQ(exchange.result.message, "before");
      EXPECT_EQ(exchange.result.data.size(), 1u);
    }
  }
}

// The report text around a body, with an error code.
std::string reportOf(const std::string& body, int errorCode = 0) {
  std::string escaped;
  for (char c : body) escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
  return R"({"source":"device","seq":7,"sn":"SN1","tl":{"CommandCode":1,"ErrorCode":)" + std::to_string(errorCode) +
         R"(,"UserDataLength":0},"body":")" + escaped + R"("})";
}

TEST_F(CallTrace, ReportsBecomeEvents) {
  std::vector<s_LayerCutout> changed(2);
  changed[0].layerId = 3;
  changed[0].cutout.enable = 1;
  changed[1].layerId = 4;
  std::string changedJson;
  LCD::ProtoModel::encode(changedJson, changed);
  const Trace read = kRouted + Trace{"msg.getDataSize", "msg.getData"};
  const struct {
    const char* name;
    std::uint32_t id;
    std::string text;
    Trace after;
  } cases[] = {
      {"cutouts",
       0x81110,
       reportOf(R"([{"layerId":3,"cutout":{"enable":1}},{"layerId":4}])"),
       {"events.createMessage(0xfc08040e, 24, " + changedJson + ", layercutoutmodel)", "events.send(9)"}},
      {"no cutouts",
       0x81110,
       reportOf("[]"),
       {"events.createMessage(0xfc08040e, 24, [], layercutoutmodel)", "events.send(9)"}},
      {"cursor",
       0x81111,
       reportOf(R"({"layerId":5,"cursor":{"enable":1,"pos":{"x":10},"color":{"R":1,"B":3}}})"),
       {"events.createMessage(0xfc08040f, 28, [5,1,10,0,1,50,3], layercutoutmodel)", "events.send(9)"}},
      {"no tl",
       0x81111,
       R"({"body":"{}"})",
       {"events.createMessage(0xfc08040f, 28, [0,0,0,0,50,50,50], layercutoutmodel)", "events.send(9)"}},
      {"error code",
       0x81111,
       reportOf("{}", 3),
       {warning(kCursorReportSignature, "\"auto report data error. error code : 3.\"")}},
      {"report text",
       0x81110,
       "{\"tl\":",
       {warning(kCutoutReportSignature, "error at line :0 col :6 msg:read object must start with {!")}},
      {"body",
       0x81110,
       reportOf("{}"),
       {warning(kCutoutReportSignature, "error at line :0 col :1 msg:array must start with [.")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    trace.clear();
    plugin.report(c.id, c.text);
    EXPECT_EQ(trace, read + c.after);
  }

  trace.clear();
  const char text[] = "{}";
  plugin.deliver(kEventType, 0x81111, text, 0);
  EXPECT_EQ(trace, (kRouted + Trace{"msg.getDataSize", warning(kCursorReportSignature, "msg data is null.")}));
  trace.clear();
  plugin.deliver(kEventType, 0x81111, text, 2);  // no NUL within the payload: read up to its size
  EXPECT_EQ(
      trace,
      (read + Trace{warning(kCursorReportSignature, "error at line :0 col :0 msg:read object must start with {!")}));
}

}  // namespace
