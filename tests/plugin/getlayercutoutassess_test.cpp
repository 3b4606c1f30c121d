#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layercutout/assessexchange.h"
#include "layercutout/messageids.h"
#include "proto/response.h"
#include "tests/plugin/pluginsession.h"

namespace {

using LayerCutout::AssessExchange;
using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;

constexpr auto kAssess = LayerCutout::MessageId::kGetLayerCutoutAssess;
constexpr const char* kSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::getLayerCutoutAssess(const wyn::IMessage*)";
constexpr const char* kPath = "/tavro/v1/system/auxiliary/assess/layers-cutout";

// An exchange record whose result holds a recognisable earlier state, so that
// "untouched" is checked, not assumed.
AssessExchange preparedRecord(std::vector<int> layerIds) {
  AssessExchange record{};
  std::memset(record.senderMembers, 0xA5, sizeof record.senderMembers);
  for (int id : layerIds) {
    record.layers.emplace_back();
    record.layers.back().layerId = id;
  }
  record.result.code = 77;
  record.result.message = "before";
  record.result.data.resize(1);
  record.result.data[0].layerId = 555;
  return record;
}

void expectUntouched(const AssessExchange& record) {
  EXPECT_EQ(record.result.code, 77);
  EXPECT_EQ(record.result.message, "before");
  ASSERT_EQ(record.result.data.size(), 1u);
  EXPECT_EQ(record.result.data[0].layerId, 555);
}

class Assess : public ::testing::Test {
 protected:
  LCD::Host::CommandResult send(AssessExchange& record) {
    AssessExchange* pointer = &record;
    return session.command(kAssess, &pointer, sizeof pointer);
  }
  PluginSession session;
};

TEST_F(Assess, WritesTheResultsIntoTheCallersRecord) {
  AssessExchange record = preparedRecord({3, 4});
  record.layers[1].cutout.brightness.threshold = 5000;  // implausible: the device flags it
  const auto result = send(record);
  EXPECT_FALSE(result.reply.has_value());
  expectNoLog(session.log());

  EXPECT_EQ(record.result.code, 0);
  EXPECT_EQ(record.result.message, "");
  ASSERT_EQ(record.result.data.size(), 2u);
  EXPECT_EQ(record.result.data[0].layerId, 3);
  EXPECT_EQ(record.result.data[0].state, 0);
  EXPECT_EQ(record.result.data[1].layerId, 4);
  EXPECT_EQ(record.result.data[1].state, 1);
  ASSERT_EQ(record.result.data[1].interfaces.size(), 2u);
  EXPECT_EQ(record.result.data[1].interfaces[1].interfaceId, 8);
  for (unsigned char byte : record.senderMembers) EXPECT_EQ(byte, 0xA5);

  std::string body;
  LCD::ProtoModel::encode(body, record.layers);
  const auto requests = session.takeRequests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().method, "PUT");
  EXPECT_EQ(requests.back().path, kPath);
  EXPECT_EQ(requests.back().body, body);
}

TEST_F(Assess, NoResultsLeaveTheRecordAsItWas) {
  AssessExchange record = preparedRecord({});
  send(record);
  expectUntouched(record);
  EXPECT_EQ(session.takeRequests().back().body, "[]");
  expectNoLog(session.log());
}

TEST_F(Assess, RefusesAMissingOrNullRecordPointer) {
  AssessExchange* null_record = nullptr;
  const unsigned char shortPayload[4] = {1, 2, 3, 4};
  struct Case {
    const void* data;
    int size;
  };
  for (const Case& c : {Case{nullptr, 0}, Case{&null_record, sizeof null_record}, Case{shortPayload, 4}}) {
    session.log().clear();
    EXPECT_FALSE(session.command(kAssess, c.data, c.size).reply.has_value());
    expectOnlyLog(session.log(), {QtWarningMsg, kSignature, "resp does not matches."});
  }
  EXPECT_TRUE(session.takeRequests().empty());
}

TEST_F(Assess, AcceptsALongerPayloadThatStartsWithThePointer) {
  AssessExchange record = preparedRecord({1});
  struct {
    AssessExchange* pointer;
    char trailing[40];
  } payload{&record, {}};
  session.command(kAssess, &payload, sizeof payload);
  ASSERT_EQ(record.result.data.size(), 1u);
  EXPECT_EQ(record.result.data[0].layerId, 1);
}

struct FailureCase {
  const char* name;
  Fault fault;
  QtMsgType level;
  const char* log;
};

TEST_F(Assess, FailuresNeverTouchTheRecord) {
  const FailureCase cases[] = {
      {"empty body",
       {FaultKind::EmptyBody},
       QtCriticalMsg,
       "Layer cutout assess decode json failed :  error at line :0 col :0 msg:read object must start with {!"},
      {"garbage",
       {FaultKind::GarbageBody},
       QtCriticalMsg,
       "Layer cutout assess decode json failed :  error at line :0 col :15 msg:read object must start with {!"},
      {"http 500", {FaultKind::HttpError}, QtWarningMsg, nullptr},
      {"dropped",
       {FaultKind::DropConnection, true},
       QtWarningMsg,
       "on put layer cutout assess sendRequest failed. url :  /tavro/v1/system/auxiliary/assess/layers-cutout"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.log().clear();
    session.device().clearFaults();
    session.device().injectFault(kPath, c.fault);
    AssessExchange record = preparedRecord({1, 2});
    EXPECT_FALSE(send(record).reply.has_value());
    expectUntouched(record);
    if (c.log == nullptr) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {c.level, kSignature, c.log});
    }
  }
  session.device().clearFaults();
  AssessExchange record = preparedRecord({99});
  send(record);
  expectUntouched(record);  // an unknown layer is refused with a non-zero code
}

}  // namespace
