#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/layercutout.h"
#include "tests/stress/livesession.h"

// What the fuzzers cannot send (they replay the other hostile inputs from
// fuzz/corpus): inputs far longer than the fuzzers try, a megabyte of text
// and nesting 200,000 levels deep.
namespace {

namespace Id = LayerCutout::MessageId;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using LCD::ProtoModel::Layer::s_LayerCutout;

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
