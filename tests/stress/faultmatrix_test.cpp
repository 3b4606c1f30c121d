// Every command against every kind of device trouble, end to end: what the
// sender finds, whether the plug-in logs, how many requests reach the device,
// and that the next command succeeds once the trouble is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "tests/stress/livesession.h"

namespace {

using LCD::Communicator::DeviceSettings;
using LCD::DeviceSim::FaultKind;

// What the sender of each command finds.
enum Found { Unanswered, Undecodable, Decoded, Refused };
const char* const kFound[][3] = {{"NoAnswer", "NoAnswer", "RecordUntouched"},
                                 {"AnswerOne", "MarkedDefault", "RecordUntouched"},
                                 {"AnswerOne", "DeviceReading", "RecordWritten"},
                                 {"AnswerZero", "MarkedDefault", "RecordUntouched"}};

// Another device URL or time-out, a revoked token or a spoilt reply to the next exchange.
struct Trouble {
  const char *name, *url;
  long timeoutMs;
  bool revokeToken;
  std::optional<FaultKind> fault;
  long delayMs;
  std::size_t padding, puts;
  bool logsInAgain;
  Found found;
};
const Trouble kTroubles[] = {
    {"NotListening", "http://127.0.0.1:1", 0, false, {}, 0, 0, 0, true, Unanswered},
    {"DroppedMidReply", nullptr, 0, false, FaultKind::DropMidReply, 0, 0, 1, false, Unanswered},
    {"SlowerThanTimeOut", nullptr, 300, false, FaultKind::SlowReply, 1500, 0, 1, true, Unanswered},
    {"ErrorPage500", nullptr, 0, false, FaultKind::ErrorPage, 0, 0, 1, false, Undecodable},
    {"EmptyBody", nullptr, 0, false, FaultKind::EmptyBody, 0, 0, 1, false, Undecodable},
    {"NoCode", nullptr, 0, false, FaultKind::MissingCode, 0, 0, 1, false, Decoded},
    {"TruncatedJson", nullptr, 0, false, FaultKind::TruncatedBody, 0, 0, 1, false, Undecodable},
    {"FiveMegabyteBody", nullptr, 0, false, FaultKind::LargeBody, 0, 5 << 20, 1, false, Decoded},
    {"TokenRevoked", nullptr, 0, true, {}, 0, 0, 1, true, Refused},
};

std::size_t countOf(const std::vector<LCD::DeviceSim::RecordedRequest>& requests, const char* method,
                    const char* path) {
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
    return request.method == method && request.path == path;
  }));
}

class FaultMatrix : public testing::TestWithParam<std::tuple<Trouble, int>> {};

TEST_P(FaultMatrix, SenderFindsTheTroubleAndTheNextCommandSucceeds) {
  const auto& [trouble, index] = GetParam();
  const Command& command = kCommands[index];
  LiveSession session;
  const DeviceSettings normal = LCD::Communicator::deviceSettings();
  ASSERT_EQ(command.send(session.runtime()), command.success) << "before the trouble";
  session.takeRequests();

  LCD::Communicator::configureDevice({trouble.url != nullptr ? trouble.url : normal.url, normal.user, normal.password,
                                      trouble.timeoutMs > 0 ? trouble.timeoutMs : normal.timeoutMs});
  if (trouble.revokeToken) session.device().revokeToken();
  if (trouble.fault)
    session.device().injectFault(command.path,
                                 {*trouble.fault, false, std::chrono::milliseconds(trouble.delayMs), trouble.padding});
  EXPECT_EQ(command.send(session.runtime()), kFound[trouble.found][index]);
  EXPECT_EQ(session.takeLog().size(), trouble.found == Unanswered || trouble.found == Undecodable ? 1u : 0u);
  EXPECT_EQ(countOf(session.takeRequests(), "PUT", command.path), trouble.puts);

  session.device().clearFaults();
  LCD::Communicator::configureDevice(normal);
  EXPECT_EQ(command.send(session.runtime()), command.success) << "after the trouble";
  EXPECT_TRUE(session.takeLog().empty());
  const auto after = session.takeRequests();
  EXPECT_EQ(countOf(after, "POST", LCD::Proto::Constants::POSTLOGIN) > 0, trouble.logsInAgain);
  EXPECT_EQ(countOf(after, "PUT", command.path), 1u);
}
INSTANTIATE_TEST_SUITE_P(Stress, FaultMatrix, testing::Combine(testing::ValuesIn(kTroubles), testing::Range(0, 3)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  kCommands[std::get<1>(info.param)].name;
                         });

}  // namespace
