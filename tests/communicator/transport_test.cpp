#include "simulatedevice.h"

#include <chrono>
#include <thread>

namespace {

using TransportTest = SimulatedDeviceTest;
using Clock = std::chrono::steady_clock;

TEST_F(TransportTest, RefusedConnectionGivesNoResponse) {
  simulator.stop();
  const Answer answer = sendWithHeaders("PUT", Constants::PUTLAYERSCUTOUT, "[]", {});
  EXPECT_FALSE(answer.answered);
  EXPECT_LT(answer.out, 0);
}

TEST_F(TransportTest, SlowDeviceGivesNoResponseWithinTheTimeout) {
  constexpr long kTimeoutMs = 300;
  pointCommunicatorAt(simulator.url(), kTimeoutMs);
  HttpLogin::getInstance()->getToken();
  simulator.injectFault(Constants::PUTLAYERSCUTOUTCURSOR,
                        Fault{FaultKind::SlowReply, true, std::chrono::milliseconds(5000)});

  const auto start = Clock::now();
  const Answer answer = sendAuthorized();
  const auto elapsed = Clock::now() - start;

  EXPECT_FALSE(answer.answered);
  EXPECT_LT(answer.out, 0);
  EXPECT_LT(elapsed, std::chrono::milliseconds(kTimeoutMs + 1700));
}

TEST_F(TransportTest, OneThreadKeepsOneConnectionForManyRequests) {
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(sendAuthorized().status, 200);
  }
  EXPECT_EQ(simulator.acceptedConnections(), 1u);
  const auto requests = simulator.requests();
  ASSERT_EQ(requests.size(), 21u);
  for (const auto& request : requests) {
    EXPECT_EQ(request.remotePort, requests.front().remotePort);
  }
}

TEST_F(TransportTest, ConcurrentSendersShareOneLogin) {
  constexpr int kThreads = 4;
  constexpr int kRequestsEach = 25;
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&failures, t] {
      for (int i = 0; i < kRequestsEach; ++i) {
        failures[static_cast<std::size_t>(t)] += sendAuthorized().status != 200;
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  EXPECT_EQ(loginCount(), 1u);
  EXPECT_EQ(countRequestsTo(simulator, Constants::PUTLAYERSCUTOUTCURSOR),
            static_cast<std::size_t>(kThreads * kRequestsEach));
  EXPECT_LE(simulator.acceptedConnections(), static_cast<std::size_t>(kThreads));
}

}  // namespace
