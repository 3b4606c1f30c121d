#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "tests/plugin/pluginsession.h"
#include "tests/stress/probes.h"
#include "tests/stress/refusingport.h"

namespace {

using LCD::DeviceSim::FaultKind;
using LCD::DeviceSim::RecordedRequest;
using Stress::Outcome;
using Stress::Probe;
namespace Constants = LCD::Proto::Constants;

enum class Trouble {
  NotListening,
  DroppedMidReply,
  SlowerThanTimeOut,
  ErrorPage500,
  EmptyBody,
  NoCode,
  TruncatedJson,
  FiveMegabyteBody,
  TokenRevoked,
};

struct Expected {
  Outcome outcome;
  QtMsgType level;
  std::string log;  // empty: nothing logged
};

Expected quiet(Outcome outcome) { return {outcome, QtWarningMsg, ""}; }
Expected warning(Outcome outcome, const std::string& log) { return {outcome, QtWarningMsg, log}; }
Expected critical(Outcome outcome, const std::string& log) { return {outcome, QtCriticalMsg, log}; }

struct Row {
  Trouble trouble;
  const char* name;
  std::size_t puts;  // PUTs the device receives for the spoiled command
  bool logsInAgain;  // the command after it needs a new login
  Expected set;
  Expected cursor;
  Expected assess;
};

const std::string kSetUnsent = "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout";
const std::string kCursorUnsent = "on put layer cutout sendRequest failed. url :  /tavro/v1/layers/cutout/color";
const std::string kAssessUnsent =
    "on put layer cutout assess sendRequest failed. url :  /tavro/v1/system/auxiliary/assess/layers-cutout";

std::string setUndecodable(const std::string& error) { return "put layer cutout result json failed :  " + error; }
std::string cursorUndecodable(const std::string& error) {
  return "put layer cutout cursor result json failed : " + error;
}
std::string assessUndecodable(const std::string& error) { return "Layer cutout assess decode json failed :  " + error; }

const std::string kNoObject = "error at line :0 col :0 msg:read object must start with {!";
const std::string kHtmlPage = "error at line :0 col :15 msg:read object must start with {!";

using O = Outcome;

// One row per trouble, one column per command. No response at all means no
// answer; a reply that does not decode still gets the set command's answer from
// the code read so far, the cursor's marked default, and leaves the record alone.
const Row kMatrix[] = {
    {Trouble::NotListening, "NotListening", 0, true, warning(O::NoAnswer, kSetUnsent),
     warning(O::NoAnswer, kCursorUnsent), warning(O::RecordUntouched, kAssessUnsent)},
    {Trouble::DroppedMidReply, "DroppedMidReply", 1, false, warning(O::NoAnswer, kSetUnsent),
     warning(O::NoAnswer, kCursorUnsent), warning(O::RecordUntouched, kAssessUnsent)},
    {Trouble::SlowerThanTimeOut, "SlowerThanTimeOut", 1, true, warning(O::NoAnswer, kSetUnsent),
     warning(O::NoAnswer, kCursorUnsent), warning(O::RecordUntouched, kAssessUnsent)},
    {Trouble::ErrorPage500, "ErrorPage500", 1, false, warning(O::AnswerOne, setUndecodable(kHtmlPage)),
     warning(O::MarkedDefault, cursorUndecodable(kHtmlPage)),
     critical(O::RecordUntouched, assessUndecodable(kHtmlPage))},
    {Trouble::EmptyBody, "EmptyBody", 1, false, warning(O::AnswerOne, setUndecodable(kNoObject)),
     warning(O::MarkedDefault, cursorUndecodable(kNoObject)),
     critical(O::RecordUntouched, assessUndecodable(kNoObject))},
    {Trouble::NoCode, "NoCode", 1, false, quiet(O::AnswerOne), quiet(O::DeviceReading), quiet(O::RecordWritten)},
    {Trouble::TruncatedJson, "TruncatedJson", 1, false,
     warning(O::AnswerOne, setUndecodable("error at line :0 col :11 msg:not a valid quote string!")),
     warning(O::MarkedDefault, cursorUndecodable("error at line :0 col :61 msg:not a valid quote string!")),
     critical(O::RecordUntouched, assessUndecodable("error at line :0 col :91 msg:invalid json document!"))},
    {Trouble::FiveMegabyteBody, "FiveMegabyteBody", 1, false, quiet(O::AnswerOne), quiet(O::DeviceReading),
     quiet(O::RecordWritten)},
    {Trouble::TokenRevoked, "TokenRevoked", 1, true, quiet(O::AnswerZero), quiet(O::MarkedDefault),
     quiet(O::RecordUntouched)},
};

struct Cell {
  const Row* row;
  const Probe* probe;
  const Expected* expected;
};

void PrintTo(const Cell& cell, std::ostream* out) { *out << cell.row->name << " x " << cell.probe->name; }

std::vector<Cell> allCells() {
  std::vector<Cell> cells;
  for (const Row& row : kMatrix) {
    cells.push_back({&row, &Stress::kSetCutoutProbe, &row.set});
    cells.push_back({&row, &Stress::kReadCursorProbe, &row.cursor});
    cells.push_back({&row, &Stress::kAssessProbe, &row.assess});
  }
  return cells;
}

std::size_t countOf(const std::vector<RecordedRequest>& requests, const std::string& method, const std::string& path) {
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const RecordedRequest& r) {
    return r.method == method && r.path == path;
  }));
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {
 protected:
  void SetUp() override { normal_ = LCD::Communicator::deviceSettings(); }

  void arrange(Trouble trouble, const std::string& path) {
    switch (trouble) {
      case Trouble::NotListening:
        refusing_.emplace();
        reconfigure(refusing_->url(), normal_.timeoutMs);
        break;
      case Trouble::DroppedMidReply: session.device().injectFault(path, {FaultKind::DropMidReply}); break;
      case Trouble::SlowerThanTimeOut:
        reconfigure(normal_.url, kShortTimeOut.count());
        session.device().injectFault(path, {FaultKind::SlowReply, false, kShortTimeOut * 5});
        break;
      case Trouble::ErrorPage500: session.device().injectFault(path, {FaultKind::ErrorPage}); break;
      case Trouble::EmptyBody: session.device().injectFault(path, {FaultKind::EmptyBody}); break;
      case Trouble::NoCode: session.device().injectFault(path, {FaultKind::MissingCode}); break;
      case Trouble::TruncatedJson: session.device().injectFault(path, {FaultKind::TruncatedBody}); break;
      case Trouble::FiveMegabyteBody:
        session.device().injectFault(path, {FaultKind::LargeBody, false, {}, 5u << 20});
        break;
      case Trouble::TokenRevoked: session.device().revokeToken(); break;
    }
  }

  void restore() {
    session.device().clearFaults();
    if (reconfigured_) LCD::Communicator::configureDevice(normal_);
    refusing_.reset();
  }

  void expectLogged(const Expected& expected, const char* signature) {
    if (expected.log.empty()) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {expected.level, signature, expected.log.c_str()});
    }
  }

  static constexpr std::chrono::milliseconds kShortTimeOut{300};

  PluginSession session;

 private:
  void reconfigure(const std::string& url, long timeoutMs) {
    LCD::Communicator::DeviceSettings changed = normal_;
    changed.url = url;
    changed.timeoutMs = timeoutMs;
    LCD::Communicator::configureDevice(changed);
    reconfigured_ = true;
  }

  LCD::Communicator::DeviceSettings normal_;
  std::optional<RefusingPort> refusing_;
  bool reconfigured_ = false;
};

TEST_P(FaultMatrix, SenderSeesTheStatedOutcomeAndTheNextCommandSucceeds) {
  const Cell& cell = GetParam();
  const Probe& command = *cell.probe;
  ASSERT_EQ(command.send(session.runtime()), command.success) << "before the trouble";
  session.takeRequests();
  session.log().clear();

  arrange(cell.row->trouble, command.path);
  EXPECT_EQ(command.send(session.runtime()), cell.expected->outcome);
  expectLogged(*cell.expected, command.signature);
  EXPECT_EQ(countOf(session.takeRequests(), "PUT", command.path), cell.row->puts);

  restore();
  session.log().clear();
  EXPECT_EQ(command.send(session.runtime()), command.success) << "after the trouble";
  expectNoLog(session.log());
  const auto after = session.takeRequests();
  EXPECT_EQ(countOf(after, "POST", Constants::POSTLOGIN) > 0, cell.row->logsInAgain);
  EXPECT_EQ(countOf(after, "PUT", command.path), 1u);
}

std::string cellName(const ::testing::TestParamInfo<Cell>& info) {
  return std::string(info.param.row->name) + "_" + info.param.probe->name;
}

INSTANTIATE_TEST_SUITE_P(TroublesByCommand, FaultMatrix, ::testing::ValuesIn(allCells()), cellName);

}  // namespace
