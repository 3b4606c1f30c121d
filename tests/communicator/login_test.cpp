#include "simulatedevice.h"

#include <nlohmann/json.hpp>

namespace {

using LoginTest = SimulatedDeviceTest;

TEST_F(LoginTest, OneLoginServesManyRequests) {
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(sendAuthorized().status, 200);
  }
  EXPECT_EQ(loginCount(), 1u);
  const auto login = simulator.requests().front();
  EXPECT_EQ(login.method, "POST");
  EXPECT_EQ(login.header("Content-Type"), "application/json");
  EXPECT_EQ(nlohmann::json::parse(login.body), (nlohmann::json{{"username", "admin"}, {"password", "admin"}}));
}

TEST_F(LoginTest, A401DropsTheTokenAndTheNextRequestLogsInAgain) {
  ASSERT_EQ(sendAuthorized().status, 200);
  const std::string revoked = simulator.currentToken();
  simulator.revokeToken();

  const Answer rejected = sendAuthorized();
  EXPECT_TRUE(rejected.answered);
  EXPECT_EQ(rejected.status, 401);
  EXPECT_EQ(rejected.out, 401);

  EXPECT_EQ(sendAuthorized().status, 200);
  EXPECT_EQ(loginCount(), 2u);
  EXPECT_NE(simulator.currentToken(), revoked);
}

TEST_F(LoginTest, FailedLoginGivesAnEmptyTokenAndTheRequestStillGoesOut) {
  pointCommunicatorAt(simulator.url(), 2000, "wrong");
  EXPECT_EQ(HttpLogin::getInstance()->getToken(), "");

  EXPECT_EQ(sendAuthorized().status, 401);
  const auto sent = simulator.requests().back();
  EXPECT_EQ(sent.path, Constants::PUTLAYERSCUTOUTCURSOR);
  EXPECT_TRUE(sent.hasHeader("Authorization"));
  EXPECT_EQ(sent.header("Authorization"), "");
  EXPECT_EQ(loginCount(), 2u);  // an empty token is not kept
}

TEST_F(LoginTest, NewSettingsLogInAgain) {
  EXPECT_FALSE(HttpLogin::getInstance()->getToken().empty());
  pointCommunicatorAt(simulator.url());
  EXPECT_FALSE(HttpLogin::getInstance()->getToken().empty());
  EXPECT_EQ(loginCount(), 2u);
}

TEST(LoginCredentialsTest, CredentialsNeedingJsonEscapesLogIn) {
  for (const std::string secret : {"quo\"te", "back\\slash", "tab\tnew\nline", "ünïcødé", "</>&"}) {
    LCD::DeviceSim::SimulatorOptions options;
    options.user = secret;
    options.password = secret;
    DeviceSimulator simulator(options);
    LCD::Communicator::configureDevice({simulator.url(), secret, secret, 2000});
    const std::string token = HttpLogin::getInstance()->getToken();
    EXPECT_FALSE(token.empty()) << secret;
    EXPECT_EQ(token, simulator.currentToken()) << secret;
  }
}

TEST_F(LoginTest, SpoiledLoginRepliesGiveNoToken) {
  const struct {
    FaultKind kind;
    bool tokenExpected;
  } cases[] = {
      {FaultKind::HttpError, false},     {FaultKind::EmptyBody, false},      {FaultKind::GarbageBody, false},
      {FaultKind::TruncatedBody, false}, {FaultKind::DropConnection, false}, {FaultKind::MissingCode, true},
      {FaultKind::LargeBody, true},
  };
  for (const auto& c : cases) {
    pointCommunicatorAt(simulator.url());  // forget the last token
    simulator.injectFault(Constants::POSTLOGIN, Fault{c.kind, true, {}, 100000});
    EXPECT_EQ(!HttpLogin::getInstance()->getToken().empty(), c.tokenExpected) << static_cast<int>(c.kind);
    simulator.clearFaults();
  }
}

}  // namespace
