// Every command against every kind of device trouble, end to end: what the
// sender finds, what the plug-in logs, how many requests reach the device, and
// that the next command succeeds once the trouble is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "tests/stress/livesession.h"

namespace {

using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;
using O = Outcome;

enum class Trouble {
  NotListening,
  DroppedMidReply,
  Slow,
  ErrorPage,
  EmptyBody,
  NoCode,
  Truncated,
  Large,
  TokenRevoked
};

struct Expected {
  Outcome outcome;
  std::string log;  // empty: nothing logged
};

// Each command's send-failure and decode-failure texts, as the log shows them.
const std::string kUnsent[3] = {
    "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout",
    "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout/color",
    "on put layer cutout assess sendRequest failed. url :  /tavro/v1/system/auxiliary/assess/layers-cutout"};
const std::string kUndecodable[3] = {
    "put layer cutout result json failed :  ", "put layer cutout cursor result json failed : ",
    "Layer cutout assess decode json failed :  "};
using Outcomes = std::array<Outcome, 3>;  // set, cursor, assess
const Outcomes kUnanswered = {O::NoAnswer, O::NoAnswer, O::RecordUntouched};
const Outcomes kUndecoded = {O::AnswerOne, O::MarkedDefault, O::RecordUntouched};
const Outcomes kSucceeded = {O::AnswerOne, O::DeviceReading, O::RecordWritten};

struct Row {
  Trouble trouble;
  const char* name;
  std::size_t puts;  // the device still receives the spoiled command
  bool logsInAgain;  // the command after it needs a new login
  bool unanswered;   // no response at all: the send-failure text is logged
  // Per command: the outcome and the decoder's error (empty: the reply decodes).
  Outcomes outcomes;
  std::string errors[3];
};

const std::string kNoObject = "error at line :0 col :0 msg:read object must start with {!";
const std::string kHtml = "error at line :0 col :15 msg:read object must start with {!";

const Row kRows[] = {
    {Trouble::NotListening, "NotListening", 0, true, true, kUnanswered, {}},
    {Trouble::DroppedMidReply, "DroppedMidReply", 1, false, true, kUnanswered, {}},
    {Trouble::Slow, "SlowerThanTimeOut", 1, true, true, kUnanswered, {}},
    {Trouble::ErrorPage, "ErrorPage500", 1, false, false, kUndecoded, {kHtml, kHtml, kHtml}},
    {Trouble::EmptyBody, "EmptyBody", 1, false, false, kUndecoded, {kNoObject, kNoObject, kNoObject}},
    {Trouble::NoCode, "NoCode", 1, false, false, kSucceeded, {}},
    {Trouble::Truncated,
     "TruncatedJson",
     1,
     false,
     false,
     kUndecoded,
     {"error at line :0 col :11 msg:not a valid quote string!",
      "error at line :0 col :61 msg:not a valid quote string!", "error at line :0 col :91 msg:invalid json document!"}},
    {Trouble::Large, "FiveMegabyteBody", 1, false, false, kSucceeded, {}},
    {Trouble::TokenRevoked, "TokenRevoked", 1, true, false, {O::AnswerZero, O::MarkedDefault, O::RecordUntouched}, {}},
};

struct Cell {
  const Row* row;
  int command;
};

void PrintTo(const Cell& cell, std::ostream* out) { *out << cell.row->name << " x " << kCommands[cell.command].name; }

std::vector<Cell> allCells() {
  std::vector<Cell> cells;
  for (const Row& row : kRows) {
    for (int command = 0; command < 3; ++command) cells.push_back({&row, command});
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
  void arrange(Trouble trouble, const std::string& path) {
    LCD::DeviceSim::DeviceSimulator& device = session.device();
    switch (trouble) {
      case Trouble::NotListening: {
        LCD::DeviceSim::DeviceSimulator stopped;
        stopped.stop();
        reconfigure(stopped.url(), normal.timeoutMs);
        break;
      }
      case Trouble::DroppedMidReply: device.injectFault(path, {FaultKind::DropMidReply}); break;
      case Trouble::Slow:
        reconfigure(normal.url, 300);
        device.injectFault(path, {FaultKind::SlowReply, false, std::chrono::milliseconds(1500)});
        break;
      case Trouble::ErrorPage: device.injectFault(path, {FaultKind::ErrorPage}); break;
      case Trouble::EmptyBody: device.injectFault(path, {FaultKind::EmptyBody}); break;
      case Trouble::NoCode: device.injectFault(path, {FaultKind::MissingCode}); break;
      case Trouble::Truncated: device.injectFault(path, {FaultKind::TruncatedBody}); break;
      case Trouble::Large: device.injectFault(path, {FaultKind::LargeBody, false, {}, 5u << 20}); break;
      case Trouble::TokenRevoked: device.revokeToken(); break;
    }
  }
  void reconfigure(const std::string& url, long timeoutMs) {
    LCD::Communicator::DeviceSettings changed = normal;
    changed.url = url;
    changed.timeoutMs = timeoutMs;
    LCD::Communicator::configureDevice(changed);
    reconfigured = true;
  }

  LiveSession session;
  const LCD::Communicator::DeviceSettings normal = LCD::Communicator::deviceSettings();
  bool reconfigured = false;
};

TEST_P(FaultMatrix, SenderSeesTheOutcomeAndTheNextCommandSucceeds) {
  const Row& row = *GetParam().row;
  const int index = GetParam().command;
  const Command& command = kCommands[index];
  ASSERT_EQ(command.send(session.runtime()), command.success) << "before the trouble";
  session.takeRequests();

  arrange(row.trouble, command.path);
  EXPECT_EQ(command.send(session.runtime()), row.outcomes[index]);
  const std::string expectedLog = row.unanswered              ? kUnsent[index]
                                  : row.errors[index].empty() ? ""
                                                              : kUndecodable[index] + row.errors[index];
  const auto log = session.takeLog();
  if (expectedLog.empty()) {
    EXPECT_TRUE(log.empty()) << log.front().text;
  } else {
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, expectedLog);
    EXPECT_EQ(log[0].function, command.signature);
    EXPECT_EQ(log[0].level, index == 2 && !row.unanswered ? QtCriticalMsg : QtWarningMsg);
  }
  EXPECT_EQ(countOf(session.takeRequests(), "PUT", command.path), row.puts);

  session.device().clearFaults();
  if (reconfigured) LCD::Communicator::configureDevice(normal);
  EXPECT_EQ(command.send(session.runtime()), command.success) << "after the trouble";
  EXPECT_TRUE(session.takeLog().empty());
  const auto after = session.takeRequests();
  EXPECT_EQ(countOf(after, "POST", LCD::Proto::Constants::POSTLOGIN) > 0, row.logsInAgain);
  EXPECT_EQ(countOf(after, "PUT", command.path), 1u);
}

INSTANTIATE_TEST_SUITE_P(TroublesByCommand, FaultMatrix, ::testing::ValuesIn(allCells()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                           return std::string(info.param.row->name) + "_" + kCommands[info.param.command].name;
                         });

}  // namespace
