#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "tests/plugin/pluginsession.h"

namespace {

using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

constexpr auto kReadColor = LayerCutout::MessageId::kSetLayerCutoutCursor;
constexpr const char* kSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage*)";
constexpr const char* kPath = "/tavro/v1/layers/cutout/color";

s_ReadLayerCursorColor cursorAt(int layer, int x, int y) {
  s_ReadLayerCursorColor request;
  request.layerId = layer;
  request.cursor.enable = 1;
  request.cursor.pos = {x, y};
  return request;
}

// The answer as its seven in-memory integers.
std::vector<int> answerWords(const LCD::Host::CommandResult& result) {
  EXPECT_TRUE(result.reply.has_value());
  if (!result.reply.has_value()) return {};
  EXPECT_EQ(result.reply->size(), sizeof(s_LayerCursorColorResult));
  std::vector<int> words(result.reply->size() / sizeof(int));
  std::memcpy(words.data(), result.reply->data(), words.size() * sizeof(int));
  return words;
}

const std::vector<int> kMarkedDefault{-1, 0, 0, 0, 50, 50, 50};

class ReadCursorColour : public ::testing::Test {
 protected:
  LCD::Host::CommandResult send(const s_ReadLayerCursorColor& request) {
    return session.command(kReadColor, &request, sizeof request);
  }
  PluginSession session;
};

TEST_F(ReadCursorColour, ForwardsTheDevicesReadingMemberForMember) {
  // The simulated canvas shows eight bars of 240 pixels: yellow second, blue seventh.
  EXPECT_EQ(answerWords(send(cursorAt(2, 300, 100))), (std::vector<int>{2, 1, 300, 100, 255, 255, 0}));
  EXPECT_EQ(answerWords(send(cursorAt(16, 1500, 1079))), (std::vector<int>{16, 1, 1500, 1079, 0, 0, 255}));
  expectNoLog(session.log());

  std::vector<LCD::DeviceSim::RecordedRequest> puts;
  for (auto& r : session.takeRequests()) {
    if (r.method == "PUT") puts.push_back(r);
  }
  ASSERT_EQ(puts.size(), 2u);
  EXPECT_EQ(puts[0].path, kPath);
  EXPECT_EQ(puts[0].header("Content-Type"), "application/json");
  EXPECT_EQ(puts[0].body, R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":300,"y":100}}})");
}

TEST_F(ReadCursorColour, RefusesPayloadsOfAnyOtherSize) {
  const std::vector<unsigned char> bytes(32, 0);
  for (int size : {0, 4, 15, 17, 24, 28}) {
    SCOPED_TRACE(size);
    session.log().clear();
    EXPECT_FALSE(session.command(kReadColor, size == 0 ? nullptr : bytes.data(), size).reply.has_value());
    expectOnlyLog(session.log(), {QtWarningMsg, kSignature, "command does not correct."});
  }
  EXPECT_TRUE(session.takeRequests().empty());
}

struct FailureCase {
  const char* name;
  Fault fault;
  const char* log;
};

TEST_F(ReadCursorColour, AnswersTheMarkedDefaultRecordOnFailure) {
  const FailureCase cases[] = {
      {"empty body",
       {FaultKind::EmptyBody},
       "put layer cutout cursor result json failed : error at line :0 col :0 msg:read object must start with {!"},
      {"garbage",
       {FaultKind::GarbageBody},
       "put layer cutout cursor result json failed : error at line :0 col :15 msg:read object must start with {!"},
      {"http 500", {FaultKind::HttpError}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.log().clear();
    session.device().injectFault(kPath, c.fault);
    EXPECT_EQ(answerWords(send(cursorAt(2, 300, 100))), kMarkedDefault);
    if (c.log == nullptr) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {QtWarningMsg, kSignature, c.log});
    }
  }
}

TEST_F(ReadCursorColour, NeverForwardsAPartlyReadRecord) {
  session.device().injectFault(kPath, {FaultKind::TruncatedBody});
  EXPECT_EQ(answerWords(send(cursorAt(2, 300, 100))), kMarkedDefault);
  ASSERT_EQ(session.log().texts().size(), 1u);
}

TEST_F(ReadCursorColour, DeviceRefusalGivesTheMarkedDefault) {
  EXPECT_EQ(answerWords(send(cursorAt(99, 300, 100))), kMarkedDefault);
  EXPECT_EQ(answerWords(send(cursorAt(2, 5000, 100))), kMarkedDefault);
  expectNoLog(session.log());
}

TEST_F(ReadCursorColour, NoResponseGetsNoAnswer) {
  session.device().injectFault(kPath, {FaultKind::DropConnection, true});
  EXPECT_FALSE(send(cursorAt(2, 300, 100)).reply.has_value());
  expectOnlyLog(session.log(), {QtWarningMsg, kSignature,
                                "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout/color"});
  session.device().clearFaults();
  EXPECT_EQ(answerWords(send(cursorAt(1, 0, 0))), (std::vector<int>{1, 1, 0, 0, 255, 255, 255}));
}

}  // namespace
