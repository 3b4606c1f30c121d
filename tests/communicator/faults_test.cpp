#include "simulatedevice.h"

#include <nlohmann/json.hpp>

#include <functional>

namespace {

using FaultsTest = SimulatedDeviceTest;
using nlohmann::json;

bool isJson(const std::string& text) { return json::accept(text); }

TEST_F(FaultsTest, EachFaultReachesTheCommunicatorAsInjected) {
  constexpr std::size_t kPadding = 1 << 20;
  const struct {
    FaultKind kind;
    bool answered;
    int status;
    std::function<bool(const std::string&)> bodyIsAsExpected;
  } cases[] = {
      {FaultKind::HttpError, true, 500, [](const std::string& b) { return json::parse(b).at("code") != 0; }},
      {FaultKind::EmptyBody, true, 200, [](const std::string& b) { return b.empty(); }},
      {FaultKind::GarbageBody, true, 200, [](const std::string& b) { return !b.empty() && !isJson(b); }},
      {FaultKind::MissingCode, true, 200,
       [](const std::string& b) {
         const json reply = json::parse(b);
         return !reply.contains("code") && reply.contains("data");
       }},
      {FaultKind::TruncatedBody, true, 200, [](const std::string& b) { return !b.empty() && !isJson(b); }},
      {FaultKind::LargeBody, true, 200,
       [](const std::string& b) { return json::parse(b).at("message").get<std::string>().size() == kPadding; }},
      {FaultKind::SlowReply, true, 200, [](const std::string& b) { return json::parse(b).at("code") == 0; }},
      {FaultKind::DropConnection, false, 0, [](const std::string& b) { return b.empty(); }},
  };
  HttpLogin::getInstance()->getToken();
  for (const auto& c : cases) {
    const int kind = static_cast<int>(c.kind);
    // Sticky, so that libcurl's resend of a request whose kept-alive
    // connection closed unanswered meets the fault too.
    simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR,
                          Fault{c.kind, true, std::chrono::milliseconds(50), kPadding});
    const Answer spoiled = sendAuthorized();
    EXPECT_EQ(spoiled.answered, c.answered) << kind;
    EXPECT_EQ(spoiled.status, c.status) << kind;
    EXPECT_TRUE(c.bodyIsAsExpected(spoiled.body)) << kind;

    simulator.clearFaults();
    const Answer next = sendAuthorized();
    EXPECT_EQ(next.status, 200) << kind;
    EXPECT_EQ(json::parse(next.body).at("code"), 0) << kind;
  }
}

}  // namespace
