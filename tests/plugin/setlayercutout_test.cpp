#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "proto/response.h"
#include "tests/plugin/pluginsession.h"

namespace {

using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;
using LCD::ProtoModel::Layer::s_LayerCutout;

constexpr auto kSetLayerCutout = LayerCutout::MessageId::kSetLayerCutout;
constexpr const char* kSignature = "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutout(const wyn::IMessage*)";
const std::vector<unsigned char> kSuccess{1};
const std::vector<unsigned char> kFailure{0};

std::vector<s_LayerCutout> twoLayers() {
  std::vector<s_LayerCutout> layers(2);
  layers[0].layerId = 1;
  layers[1].layerId = 2;
  layers[1].cutout.enable = 1;
  layers[1].cutout.hue.color = {10, 200, 30};
  return layers;
}

class SetLayerCutout : public ::testing::Test {
 protected:
  LCD::Host::CommandResult send(const std::vector<s_LayerCutout>& layers) {
    return session.command(kSetLayerCutout, &layers, sizeof layers);
  }
  std::vector<LCD::DeviceSim::RecordedRequest> puts() {
    std::vector<LCD::DeviceSim::RecordedRequest> out;
    for (auto& request : session.takeRequests()) {
      if (request.method == "PUT") out.push_back(request);
    }
    return out;
  }
  PluginSession session;
};

TEST_F(SetLayerCutout, PutsTheSettingsAsCompactJsonAndAnswersOne) {
  const auto layers = twoLayers();
  const auto result = send(layers);
  ASSERT_TRUE(result.reply.has_value());
  EXPECT_EQ(*result.reply, kSuccess);
  expectNoLog(session.log());

  const auto requests = puts();
  ASSERT_EQ(requests.size(), 1u);
  std::string body;
  LCD::ProtoModel::encode(body, layers);
  EXPECT_EQ(requests[0].path, "/tavro/v1/layers/cutout");
  EXPECT_EQ(requests[0].header("Content-Type"), "application/json");
  EXPECT_EQ(requests[0].header("Authorization"), session.device().currentToken());
  EXPECT_EQ(requests[0].body, body);
  const auto kept = session.device().layerCutout(2);
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ((*kept)["hue"]["color"]["G"], 200);
}

TEST_F(SetLayerCutout, SendsAnEmptyArrayForNoLayers) {
  const auto result = send({});
  ASSERT_TRUE(result.reply.has_value());
  const auto requests = puts();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].body, "[]");
}

TEST_F(SetLayerCutout, RefusesPayloadsOfAnyOtherSize) {
  const std::vector<unsigned char> bytes(64, 0);
  for (int size : {0, 1, 16, 23, 25, 28, 48, 64}) {
    SCOPED_TRACE(size);
    session.log().clear();
    const auto result = session.command(kSetLayerCutout, size == 0 ? nullptr : bytes.data(), size);
    EXPECT_FALSE(result.reply.has_value());
    expectOnlyLog(session.log(), {QtWarningMsg, kSignature, "command does not correct."});
  }
  EXPECT_TRUE(session.takeRequests().empty());
}

struct ReplyCase {
  const char* name;
  Fault fault;
  std::vector<unsigned char> answer;
  const char* log;  // null: nothing logged
};

TEST_F(SetLayerCutout, AnswersFromTheReplyCode) {
  const ReplyCase cases[] = {
      {"empty body",
       {FaultKind::EmptyBody},
       kSuccess,
       "put layer cutout result json failed :  error at line :0 col :0 msg:read object must start with {!"},
      {"garbage body",
       {FaultKind::GarbageBody},
       kSuccess,
       "put layer cutout result json failed :  error at line :0 col :15 msg:read object must start with {!"},
      {"no code", {FaultKind::MissingCode}, kSuccess, nullptr},
      {"http 500", {FaultKind::HttpError}, kFailure, nullptr},
      {"large body", {FaultKind::LargeBody, false, {}, 5u << 20}, kSuccess, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.log().clear();
    session.device().injectFault("/tavro/v1/layers/cutout", c.fault);
    const auto result = send(twoLayers());
    ASSERT_TRUE(result.reply.has_value());
    EXPECT_EQ(*result.reply, c.answer);
    if (c.log == nullptr) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {QtWarningMsg, kSignature, c.log});
    }
  }
}

TEST_F(SetLayerCutout, TruncatedReplyKeepsTheCodeReadSoFar) {
  session.device().injectFault("/tavro/v1/layers/cutout", {FaultKind::TruncatedBody});
  const auto result = send(twoLayers());
  ASSERT_TRUE(result.reply.has_value());
  EXPECT_EQ(*result.reply, kSuccess);
  const auto texts = session.log().texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("put layer cutout result json failed :  error at line :0 col :", 0), 0u) << texts[0];
}

TEST_F(SetLayerCutout, UnknownLayerIsAnsweredWithZero) {
  auto layers = twoLayers();
  layers[1].layerId = 99;
  const auto result = send(layers);
  ASSERT_TRUE(result.reply.has_value());
  EXPECT_EQ(*result.reply, kFailure);
  expectNoLog(session.log());
}

TEST_F(SetLayerCutout, NoResponseGetsNoAnswerAndTheNextCommandWorks) {
  session.device().injectFault("/tavro/v1/layers/cutout", {FaultKind::DropConnection, true});
  const auto dropped = send(twoLayers());
  EXPECT_FALSE(dropped.reply.has_value());
  expectOnlyLog(session.log(),
                {QtWarningMsg, kSignature, "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout"});

  session.device().clearFaults();
  const auto next = send(twoLayers());
  ASSERT_TRUE(next.reply.has_value());
  EXPECT_EQ(*next.reply, kSuccess);
}

TEST_F(SetLayerCutout, LogsInAgainAfterTheTokenIsRevoked) {
  ASSERT_TRUE(send(twoLayers()).reply.has_value());
  session.device().revokeToken();
  const auto rejected = send(twoLayers());
  ASSERT_TRUE(rejected.reply.has_value());
  EXPECT_EQ(*rejected.reply, kFailure);  // the device's 401 envelope carries a non-zero code
  const auto next = send(twoLayers());
  ASSERT_TRUE(next.reply.has_value());
  EXPECT_EQ(*next.reply, kSuccess);
}

}  // namespace
