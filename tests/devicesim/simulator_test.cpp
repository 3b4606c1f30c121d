#include "tests/communicator/simulatedevice.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

namespace {

using SimulatorTest = SimulatedDeviceTest;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr char kLayer1Cutout[] =
    R"([{"layerId":1,"cutout":{"enable":1,"cursor":{"enable":0},"type":1,"brightness":{"threshold":10,)"
    R"("gain":50,"foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,)"
    R"("B":50},"hueClip":10,"hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,)"
    R"("shadow":0,"highLigh":0,"edgeSmooth":0}}}])";

TEST_F(SimulatorTest, CutoutSentOverHttpIsKept) {
  HttpLogin::getInstance()->getToken();
  simulator.clearRequests();
  const Answer answer = sendAuthorized(Constants::PUTLAYERSCUTOUT, kLayer1Cutout);
  EXPECT_EQ(json::parse(answer.body), (json{{"code", 0}, {"message", ""}}));
  EXPECT_EQ(simulator.layerCutout(1), json::parse(kLayer1Cutout)[0]["cutout"]);
  ASSERT_EQ(simulator.requests().size(), 1u);
  EXPECT_EQ(simulator.requests().front().body, kLayer1Cutout);
}

TEST_F(SimulatorTest, FaultsAreOneShotOrStickyAndKeepToTheirPath) {
  HttpLogin::getInstance()->getToken();
  simulator.injectFault(Constants::PUTLAYERSCUTOUT, Fault{FaultKind::HttpError, true});
  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR, Fault{FaultKind::EmptyBody});
  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR, Fault{FaultKind::DropConnection});

  EXPECT_EQ(sendAuthorized().body, "");
  // A kept-alive connection closed unanswered makes libcurl send the request
  // once more on a new one, which the used-up fault no longer spoils.
  EXPECT_EQ(sendAuthorized().status, 200);
  EXPECT_EQ(countRequestsTo(simulator, Constants::PUTLAYERSCUTOUTCURSOR), 3u);
  EXPECT_EQ(sendAuthorized().status, 200);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sendAuthorized(Constants::PUTLAYERSCUTOUT, kLayer1Cutout).status, 500);
  }
  EXPECT_EQ(simulator.layerCutout(1), json::parse(kLayer1Cutout)[0]["cutout"]);

  simulator.clearFaults();
  EXPECT_EQ(sendAuthorized(Constants::PUTLAYERSCUTOUT, kLayer1Cutout).status, 200);
  EXPECT_EQ(countRequestsTo(simulator, Constants::PUTLAYERSCUTOUTCURSOR), 4u);
}

TEST_F(SimulatorTest, ErrorPageHalfReplyAndFixedBodyReachTheClientAsInjected) {
  constexpr int kPartialReply = -18;  // minus CURLE_PARTIAL_FILE: fewer bytes than announced
  HttpLogin::getInstance()->getToken();
  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR, Fault{FaultKind::ErrorPage});
  const Answer page = sendAuthorized();
  EXPECT_EQ(page.status, 500);
  EXPECT_FALSE(page.body.empty());
  EXPECT_FALSE(json::accept(page.body));

  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR, Fault{FaultKind::DropMidReply});
  const Answer cut = sendAuthorized();
  EXPECT_FALSE(cut.answered);
  EXPECT_EQ(cut.out, kPartialReply);
  // Part of the reply arrived, so libcurl does not send the request again.
  EXPECT_EQ(countRequestsTo(simulator, Constants::PUTLAYERSCUTOUTCURSOR), 2u);

  Fault fixed{FaultKind::FixedBody};
  fixed.body = std::string("{\"code\":7}\0tail", 15);  // byte for byte, NUL included
  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR, fixed);
  const Answer given = sendAuthorized();
  EXPECT_EQ(given.status, 200);
  EXPECT_EQ(given.body, fixed.body);
  EXPECT_EQ(json::parse(sendAuthorized().body).at("code"), 0);
}

TEST_F(SimulatorTest, StopEndsIdleAndBusyConnectionsPromptly) {
  ASSERT_EQ(sendAuthorized().status, 200);  // leaves an idle kept-alive connection
  simulator.injectFault(Constants::PUTLAYERSCUTOUT, Fault{FaultKind::SlowReply, false, std::chrono::seconds(30)});
  auto busy =
      std::async(std::launch::async, [] { return sendAuthorized(Constants::PUTLAYERSCUTOUT, kLayer1Cutout).answered; });
  while (countRequestsTo(simulator, Constants::PUTLAYERSCUTOUT) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  const auto start = Clock::now();
  simulator.stop();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  busy.get();
}

TEST_F(SimulatorTest, BusyPortIsReported) {
  LCD::DeviceSim::SimulatorOptions options;
  options.port = simulator.port();
  EXPECT_THROW(DeviceSimulator{options}, std::runtime_error);
}

}  // namespace
