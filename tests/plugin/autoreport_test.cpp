#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "proto/response.h"
#include "tests/plugin/pluginsession.h"

namespace {

using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_LayerCutout;
namespace Id = LayerCutout::MessageId;

constexpr const char* kCutoutSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutout(const wyn::IMessage*)";
constexpr const char* kCursorSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage*)";

// A device report around a body text, escaped as the device sends it.
std::string reportWith(const std::string& body, int errorCode = 0) {
  std::string escaped;
  for (char c : body) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return R"({"source":"device","seq":7,"sn":"SN0001","tl":{"CommandCode":1,"ErrorCode":)" + std::to_string(errorCode) +
         R"(,"UserDataLength":0},"body":")" + escaped + R"("})";
}

// Records what the plug-in sends on, decoding each payload while it is valid.
class AutoReport : public ::testing::Test {
 protected:
  void SetUp() override {
    cutoutSubscription = session.runtime().subscribe(Id::kLayerCutoutChanged, [this](const wyn::IMessage& event) {
      ASSERT_EQ(event.getDataSize(), 24);
      const auto& layers = *static_cast<const std::vector<s_LayerCutout>*>(event.getData());
      cutoutEvents.push_back(layers);
    });
    cursorSubscription = session.runtime().subscribe(Id::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      ASSERT_EQ(event.getDataSize(), 28);
      s_LayerCursorColorResult cursor;
      std::memcpy(&cursor, event.getData(), sizeof cursor);
      cursorEvents.push_back(cursor);
    });
  }
  void TearDown() override {
    session.runtime().unsubscribe(cutoutSubscription);
    session.runtime().unsubscribe(cursorSubscription);
  }

  PluginSession session;
  std::vector<std::vector<s_LayerCutout>> cutoutEvents;
  std::vector<s_LayerCursorColorResult> cursorEvents;
  LCD::Host::SubscriptionId cutoutSubscription{};
  LCD::Host::SubscriptionId cursorSubscription{};
};

TEST_F(AutoReport, CutoutReportBecomesAnEventWithTheVector) {
  session.report(Id::kLayerCutoutReport, reportWith(R"([{"layerId":3,"cutout":{"enable":1}},{"layerId":4}])"));
  session.report(Id::kLayerCutoutReport, reportWith("[]"));
  ASSERT_EQ(cutoutEvents.size(), 2u);
  ASSERT_EQ(cutoutEvents[0].size(), 2u);
  EXPECT_EQ(cutoutEvents[0][0].layerId, 3);
  EXPECT_EQ(cutoutEvents[0][0].cutout.enable, 1);
  EXPECT_EQ(cutoutEvents[0][1].cutout.hue.spill, 100);
  EXPECT_TRUE(cutoutEvents[1].empty());
  EXPECT_TRUE(cursorEvents.empty());
  expectNoLog(session.log());
  EXPECT_TRUE(session.takeRequests().empty());
}

TEST_F(AutoReport, CursorReportBecomesAnEventWithTheRecord) {
  session.report(Id::kLayerCutoutCursorReport,
                 reportWith(R"({"layerId":5,"cursor":{"enable":1,"pos":{"x":10},"color":{"R":1,"G":2,"B":3}}})"));
  ASSERT_EQ(cursorEvents.size(), 1u);
  EXPECT_EQ(cursorEvents[0].layerId, 5);
  EXPECT_EQ(cursorEvents[0].cursor.pos.x, 10);
  EXPECT_EQ(cursorEvents[0].cursor.pos.y, 0);
  EXPECT_EQ(cursorEvents[0].cursor.color.B, 3);
  EXPECT_TRUE(cutoutEvents.empty());
}

TEST_F(AutoReport, AReportWithoutAnErrorCodeCountsAsErrorFree) {
  session.report(Id::kLayerCutoutCursorReport, R"({"body":"{}"})");
  ASSERT_EQ(cursorEvents.size(), 1u);
  EXPECT_EQ(cursorEvents[0].cursor.color.R, 50);
}

struct BadReport {
  const char* name;
  std::string text;
  const char* log;
};

TEST_F(AutoReport, BadReportsAreLoggedAndSendNothing) {
  const BadReport cases[] = {
      {"error code", reportWith("[]", 3), "\"auto report data error. error code : 3.\""},
      {"error code wraps to 16 bits", reportWith("[]", 65538), "\"auto report data error. error code : 2.\""},
      {"not json", "report", "error at line :0 col :6 msg:not a valid string!"},
      {"body not json", reportWith("{"), "error at line :0 col :1 msg:array must start with [."},
      {"body not an array", reportWith("{\"layerId\":1}"), "error at line :0 col :1 msg:array must start with [."},
      {"negative error code", R"({"tl":{"ErrorCode":-1}})",
       "error at line :0 col :21 msg:assign a negative signed integral to unsigned integral number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.log().clear();
    session.report(Id::kLayerCutoutReport, c.text);
    expectOnlyLog(session.log(), {QtWarningMsg, kCutoutSignature, c.log});
  }
  EXPECT_TRUE(cutoutEvents.empty());
}

TEST_F(AutoReport, EmptyPayloadIsRefused) {
  const char text[] = "{}";
  session.runtime().sendEvent(Id::kLayerCutoutCursorReport, text, 0);
  expectOnlyLog(session.log(), {QtWarningMsg, kCursorSignature, "msg data is null."});
  session.log().clear();
  session.runtime().sendEvent(Id::kLayerCutoutCursorReport, nullptr, 0);
  expectOnlyLog(session.log(), {QtWarningMsg, kCursorSignature, "msg data is null."});
  EXPECT_TRUE(cursorEvents.empty());
}

TEST_F(AutoReport, TextEndsAtTheFirstNulOrAtThePayloadEnd) {
  const std::string report = reportWith(R"({"layerId":8})");
  std::string withTail = report + '\0' + "garbage after the terminator";
  session.runtime().sendEvent(Id::kLayerCutoutCursorReport, withTail.data(), static_cast<int>(withTail.size()));
  ASSERT_EQ(cursorEvents.size(), 1u);
  EXPECT_EQ(cursorEvents[0].layerId, 8);

  // Without any NUL the text is read up to the stated size and no further.
  const std::string unterminated = report + " ";
  session.runtime().sendEvent(Id::kLayerCutoutCursorReport, unterminated.data(), static_cast<int>(unterminated.size()));
  ASSERT_EQ(cursorEvents.size(), 2u);
  EXPECT_EQ(cursorEvents[1].layerId, 8);
}

}  // namespace
