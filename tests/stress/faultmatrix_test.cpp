// Every command against every kind of device trouble, end to end: what the
// sender finds, what the plug-in logs, how many requests reach the device, and
// that the next command succeeds once the trouble is gone. One row per
// trouble in faultmatrix.json, one column per command of kCommands.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "tests/stress/livesession.h"

namespace LCD::DeviceSim {
// The faults the rows name.
NLOHMANN_JSON_SERIALIZE_ENUM(FaultKind, {{FaultKind::DropMidReply, "DropMidReply"},
                                         {FaultKind::ErrorPage, "ErrorPage"},
                                         {FaultKind::EmptyBody, "EmptyBody"},
                                         {FaultKind::MissingCode, "MissingCode"},
                                         {FaultKind::TruncatedBody, "TruncatedBody"},
                                         {FaultKind::LargeBody, "LargeBody"},
                                         {FaultKind::SlowReply, "SlowReply"}})
}  // namespace LCD::DeviceSim

namespace {

using LCD::Communicator::DeviceSettings;
using nlohmann::json;

std::size_t countOf(const std::vector<LCD::DeviceSim::RecordedRequest>& requests, const char* method,
                    const char* path) {
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
    return request.method == method && request.path == path;
  }));
}

// Makes the row's trouble happen to the next exchange on `path`: another
// device URL or time-out, a revoked token, a spoilt reply.
void arrange(LiveSession& session, const json& row, const char* path, const DeviceSettings& normal) {
  LCD::Communicator::configureDevice(
      {row.value("url", normal.url), normal.user, normal.password, row.value("timeoutMs", normal.timeoutMs)});
  if (row.value("revokeToken", false)) session.device().revokeToken();
  if (row.contains("fault")) {
    session.device().injectFault(
        path, {row["fault"].get<LCD::DeviceSim::FaultKind>(), false, std::chrono::milliseconds(row.value("delayMs", 0)),
               row.value("padding", std::size_t{0})});
  }
}

void senderSeesTheOutcomeAndTheNextCommandSucceeds(const json& matrix, const json& row, int index) {
  LiveSession session;
  const DeviceSettings normal = LCD::Communicator::deviceSettings();
  const Command& command = kCommands[index];
  ASSERT_EQ(command.send(session.runtime()), command.success) << "before the trouble";
  session.takeRequests();

  arrange(session, row, command.path, normal);
  EXPECT_EQ(command.send(session.runtime()), row["outcomes"][index]);
  const bool unanswered = row.value("unanswered", false);
  const bool undecodable = row.contains("errors");
  const auto log = session.takeLog();
  if (!unanswered && !undecodable) {
    EXPECT_TRUE(log.empty()) << log.front().text;
  } else {
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text,
              unanswered ? matrix["unsent"][index].get<std::string>()
                         : matrix["undecodable"][index].get<std::string>() + row["errors"][index].get<std::string>());
    EXPECT_EQ(log[0].function, matrix["signatures"][index]);
    EXPECT_EQ(log[0].level, index == 2 && undecodable ? QtCriticalMsg : QtWarningMsg);
  }
  EXPECT_EQ(countOf(session.takeRequests(), "PUT", command.path), row["puts"]);

  session.device().clearFaults();
  LCD::Communicator::configureDevice(normal);
  EXPECT_EQ(command.send(session.runtime()), command.success) << "after the trouble";
  EXPECT_TRUE(session.takeLog().empty());
  const auto after = session.takeRequests();
  EXPECT_EQ(countOf(after, "POST", LCD::Proto::Constants::POSTLOGIN) > 0, row["logsInAgain"]);
  EXPECT_EQ(countOf(after, "PUT", command.path), 1u);
}

TEST(FaultMatrix, EveryCommandMeetsEveryTroubleAndRecovers) {
  const json matrix = json::parse(std::ifstream(LCD_STRESS_TEST_DIR "/faultmatrix.json"));
  for (const json& row : matrix["rows"]) {
    for (int index = 0; index < 3; ++index) {
      SCOPED_TRACE(row["trouble"].get<std::string>() + " x " + kCommands[index].name);
      senderSeesTheOutcomeAndTheNextCommandSucceeds(matrix, row, index);
    }
  }
}

}  // namespace
