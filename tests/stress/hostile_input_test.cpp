#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "tests/stress/livesession.h"
#include "tests/stress/rawmessage.h"

// What the fuzzers cannot send (they replay the other hostile inputs from
// fuzz/corpus): a null payload whose size says otherwise, and inputs far
// longer than the fuzzers try: a megabyte of text, nesting 200,000 levels deep.
namespace {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_LayerCutout;

// The handler's signature, as its log shows it.
std::string signature(const char* handler) {
  return std::string("wyn::IMessage* LayerCutout::LayerCutoutModel::") + handler + "(const wyn::IMessage*)";
}

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    session.runtime().subscribe(Id::kLayerCutoutChanged, [this](const wyn::IMessage& event) {
      for (const auto& layer : *static_cast<const std::vector<s_LayerCutout>*>(event.getData())) {
        sentLayerIds.push_back(layer.layerId);
      }
    });
    session.runtime().subscribe(Id::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      s_LayerCursorColorResult cursor;
      std::memcpy(&cursor, event.getData(), sizeof cursor);
      sentLayerIds.push_back(cursor.layerId);
    });
  }

  LiveSession session;
  std::vector<int> sentLayerIds;  // of every event sent on
};

struct NullPayload {
  std::uint32_t type;
  std::uint32_t id;
  int acceptedSize;
  const char* handler;
  const char* log;
};

TEST_F(HostileInput, NullPayloadIsRefusedWhateverSizeIsClaimed) {
  const NullPayload cases[] = {
      {wyn::kCommandType, Id::kSetLayerCutout, 24, "setLayerCutout", "command does not correct."},
      {wyn::kCommandType, Id::kSetLayerCutoutCursor, 16, "setLayerCutoutCursor", "command does not correct."},
      {wyn::kCommandType, Id::kGetLayerCutoutAssess, 8, "getLayerCutoutAssess", "resp does not matches."},
      {wyn::kEventType, Id::kLayerCutoutReport, 64, "changeLayerCutout", "msg data is null."},
      {wyn::kEventType, Id::kLayerCutoutCursorReport, 64, "changeLayerCutoutCursor", "msg data is null."},
  };
  for (const auto& c : cases) {
    for (int size : {c.acceptedSize, -1}) {
      SCOPED_TRACE(testing::Message() << std::hex << c.id << std::dec << " size " << size);
      const RawMessage message(c.type, c.id, nullptr, size);
      EXPECT_EQ(session.handler().handleMessage(&message), nullptr);
      const auto log = session.takeLog();
      ASSERT_EQ(log.size(), 1u);
      EXPECT_EQ(log[0].level, QtWarningMsg);
      EXPECT_EQ(log[0].function, signature(c.handler));
      EXPECT_EQ(log[0].text, c.log);
    }
  }
  EXPECT_TRUE(session.takeRequests().empty());
  EXPECT_TRUE(sentLayerIds.empty());
}

struct HugeReport {
  const char* name;
  std::uint32_t id;
  std::string text;
  int layerId;  // of the one event sent on
};

TEST_F(HostileInput, HugeReportsAreDecodedInFull) {
  const std::string megabyte(std::size_t{1} << 20, 'x');
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const HugeReport cases[] = {
      {"megabyte string in the report", Id::kLayerCutoutCursorReport,
       R"({"sn":")" + megabyte + R"(","body":"{\"layerId\":5}"})", 5},
      {"megabyte string in the body", Id::kLayerCutoutReport,
       R"({"body":"[{\"layerId\":6,\"note\":\")" + megabyte + R"(\"}]"})", 6},
      {"deep nesting in the report", Id::kLayerCutoutReport, R"({"deep":)" + deep + R"(,"body":"[{\"layerId\":7}]"})",
       7},
      {"deep nesting in the body", Id::kLayerCutoutCursorReport,
       R"({"body":"{\"deep\":)" + deep + R"(,\"layerId\":8}"})", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sentLayerIds.clear();
    session.runtime().sendEvent(c.id, c.text.c_str(), static_cast<int>(c.text.size() + 1));
    EXPECT_EQ(sentLayerIds, std::vector<int>{c.layerId});
    EXPECT_TRUE(session.takeLog().empty());
  }
}

}  // namespace
