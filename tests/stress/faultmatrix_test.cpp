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

namespace {

using LCD::DeviceSim::FaultKind;
using nlohmann::json;

const json& matrix() {
  static const json table = json::parse(std::ifstream(LCD_STRESS_TEST_DIR "/faultmatrix.json"));
  return table;
}

struct Cell {
  json row;
  int command;
};

void PrintTo(const Cell& cell, std::ostream* out) {
  *out << cell.row["trouble"].get<std::string>() << " x " << kCommands[cell.command].name;
}

std::vector<Cell> allCells() {
  std::vector<Cell> cells;
  for (const json& row : matrix()["rows"]) {
    for (int command = 0; command < 3; ++command) cells.push_back({row, command});
  }
  return cells;
}

std::size_t countOf(const std::vector<LCD::DeviceSim::RecordedRequest>& requests, const char* method,
                    const char* path) {
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
    return request.method == method && request.path == path;
  }));
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {
 protected:
  // Makes the trouble happen to the next exchange on `path`.
  void arrange(const std::string& trouble, const std::string& path) {
    LCD::DeviceSim::DeviceSimulator& device = session.device();
    if (trouble == "NotListening") {
      LCD::DeviceSim::DeviceSimulator stopped;
      stopped.stop();
      reconfigure(stopped.url(), normal.timeoutMs);
    } else if (trouble == "SlowerThanTimeOut") {
      reconfigure(normal.url, 300);
      device.injectFault(path, {FaultKind::SlowReply, false, std::chrono::milliseconds(1500)});
    } else if (trouble == "TokenRevoked") {
      device.revokeToken();
    } else if (trouble == "FiveMegabyteBody") {
      device.injectFault(path, {FaultKind::LargeBody, false, {}, 5u << 20});
    } else {
      const std::pair<const char*, FaultKind> faults[] = {{"DroppedMidReply", FaultKind::DropMidReply},
                                                          {"ErrorPage500", FaultKind::ErrorPage},
                                                          {"EmptyBody", FaultKind::EmptyBody},
                                                          {"NoCode", FaultKind::MissingCode},
                                                          {"TruncatedJson", FaultKind::TruncatedBody}};
      for (const auto& [name, kind] : faults) {
        if (trouble == name) device.injectFault(path, {kind});
      }
    }
  }
  void reconfigure(const std::string& url, long timeoutMs) {
    LCD::Communicator::configureDevice({url, normal.user, normal.password, timeoutMs});
    reconfigured = true;
  }

  LiveSession session;
  const LCD::Communicator::DeviceSettings normal = LCD::Communicator::deviceSettings();
  bool reconfigured = false;
};

TEST_P(FaultMatrix, SenderSeesTheOutcomeAndTheNextCommandSucceeds) {
  const json& row = GetParam().row;
  const int index = GetParam().command;
  const Command& command = kCommands[index];
  ASSERT_EQ(command.send(session.runtime()), command.success) << "before the trouble";
  session.takeRequests();

  arrange(row["trouble"], command.path);
  EXPECT_EQ(command.send(session.runtime()), row["outcomes"][index]);
  const bool unanswered = row.value("unanswered", false);
  const bool undecodable = row.contains("errors");
  const auto log = session.takeLog();
  if (!unanswered && !undecodable) {
    EXPECT_TRUE(log.empty()) << log.front().text;
  } else {
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text,
              unanswered ? matrix()["unsent"][index].get<std::string>()
                         : matrix()["undecodable"][index].get<std::string>() + row["errors"][index].get<std::string>());
    EXPECT_EQ(log[0].function, command.signature);
    EXPECT_EQ(log[0].level, index == 2 && undecodable ? QtCriticalMsg : QtWarningMsg);
  }
  EXPECT_EQ(countOf(session.takeRequests(), "PUT", command.path), row["puts"]);

  session.device().clearFaults();
  if (reconfigured) LCD::Communicator::configureDevice(normal);
  EXPECT_EQ(command.send(session.runtime()), command.success) << "after the trouble";
  EXPECT_TRUE(session.takeLog().empty());
  const auto after = session.takeRequests();
  EXPECT_EQ(countOf(after, "POST", LCD::Proto::Constants::POSTLOGIN) > 0, row["logsInAgain"]);
  EXPECT_EQ(countOf(after, "PUT", command.path), 1u);
}

INSTANTIATE_TEST_SUITE_P(TroublesByCommand, FaultMatrix, ::testing::ValuesIn(allCells()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                           return info.param.row["trouble"].get<std::string>() + "_" +
                                  kCommands[info.param.command].name;
                         });

}  // namespace
