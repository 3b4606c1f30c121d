#include "devicesim/device.h"
#include "devicesim/devicesimulator.h"
#include "devicesim/resultcode.h"
#include "proto/constants.h"

#include <gtest/gtest.h>

namespace {

namespace Constants = LCD::Proto::Constants;
namespace ResultCode = LCD::DeviceSim::ResultCode;
using LCD::DeviceSim::Device;
using LCD::DeviceSim::Reply;
using nlohmann::json;

// What the plug-in sends for one new layer cutout with layerId 1.
constexpr char kLayer1Cutout[] =
    R"({"layerId":1,"cutout":{"enable":0,"cursor":{"enable":0},"type":0,"brightness":{"threshold":10,)"
    R"("gain":50,"foregroundColor":{"enable":0,"R":50,"G":50,"B":50}},"hue":{"color":{"R":50,"G":50,)"
    R"("B":50},"hueClip":10,"hueRamp":90,"saturationClip":5,"saturationGain":10,"spill":100,)"
    R"("shadow":0,"highLigh":0,"edgeSmooth":0}}})";

json layerCutout(int layerId) {
  json element = json::parse(kLayer1Cutout);
  element["layerId"] = layerId;
  return element;
}

class DeviceTest : public ::testing::Test {
 protected:
  DeviceTest() : device({"admin", "admin", LCD::DeviceSim::layersOneTo(16)}) {
    token = json::parse(logIn("admin", "admin").body)["data"]["token"];
  }

  Reply logIn(const std::string& user, const std::string& password) {
    return device.answer("POST", Constants::POSTLOGIN, "", json{{"username", user}, {"password", password}}.dump());
  }

  json put(const char* path, const std::string& body) {
    const Reply reply = device.answer("PUT", path, token, body);
    return json::parse(reply.body);
  }

  json cursorColour(int layerId, int x, int y) {
    const json request{{"layerId", layerId}, {"cursor", {{"enable", 1}, {"pos", {{"x", x}, {"y", y}}}}}};
    return put(Constants::PUTLAYERSCUTOUTCURSOR, request.dump());
  }

  Device device;
  std::string token;
};

TEST_F(DeviceTest, LoginChecksCredentialsAndKeepsOneTokenUntilRevoked) {
  EXPECT_FALSE(token.empty());
  EXPECT_EQ(json::parse(logIn("admin", "admin").body)["data"]["token"], token);

  const Reply refused = logIn("admin", "nope");
  EXPECT_EQ(refused.status, 401);
  EXPECT_EQ(json::parse(refused.body)["code"], ResultCode::badCredentials);

  device.revokeToken();
  EXPECT_EQ(device.currentToken(), "");
  EXPECT_NE(json::parse(logIn("admin", "admin").body)["data"]["token"], token);

  const Reply garbled = device.answer("POST", Constants::POSTLOGIN, "", R"({"username":1})");
  EXPECT_EQ(json::parse(garbled.body)["code"], ResultCode::malformedBody);
}

TEST_F(DeviceTest, ResourcesNeedTheCurrentToken) {
  for (const char* path :
       {Constants::PUTLAYERSCUTOUT, Constants::PUTLAYERSCUTOUTCURSOR, Constants::TAVROPROTOPUTASSESSLAYERCUTOUT}) {
    for (const std::string& presented : {std::string(), "Bearer " + token, token + "x"}) {
      const Reply reply = device.answer("PUT", path, presented, "[]");
      EXPECT_EQ(reply.status, 401) << path << " " << presented;
      EXPECT_EQ(json::parse(reply.body)["code"], ResultCode::unauthorized);
    }
  }
  const Reply unknown = device.answer("GET", Constants::PUTLAYERSCUTOUT, token, "");
  EXPECT_EQ(unknown.status, 404);
  EXPECT_EQ(json::parse(unknown.body)["code"], ResultCode::noSuchResource);
}

TEST_F(DeviceTest, CutoutIsKeptPerLayer) {
  json body = json::array({layerCutout(1), layerCutout(16)});
  body[1]["cutout"]["hue"]["spill"] = 7;
  EXPECT_EQ(put(Constants::PUTLAYERSCUTOUT, body.dump()), (json{{"code", 0}, {"message", ""}}));
  EXPECT_EQ(device.layerCutout(1), body[0]["cutout"]);
  EXPECT_EQ(device.layerCutout(16), body[1]["cutout"]);
  EXPECT_EQ(device.layerCutout(2), std::nullopt);
}

TEST_F(DeviceTest, UnknownLayerRejectsTheWholeList) {
  const json body = json::array({layerCutout(1), layerCutout(99)});
  for (const char* path : {Constants::PUTLAYERSCUTOUT, Constants::TAVROPROTOPUTASSESSLAYERCUTOUT}) {
    const json reply = put(path, body.dump());
    EXPECT_EQ(reply["code"], ResultCode::unknownLayer) << path;
    EXPECT_EQ(reply["message"], "unknown layer 99") << path;
  }
  EXPECT_EQ(device.layerCutout(1), std::nullopt);
  EXPECT_EQ(cursorColour(0, 1, 1)["code"], ResultCode::unknownLayer);
}

TEST_F(DeviceTest, MalformedCutoutListsAreRejectedWithWhereAndWhat) {
  const auto edited = [](auto edit) {
    json element = layerCutout(1);
    edit(element);
    return json::array({element}).dump();
  };
  const struct {
    std::string body;
    std::string message;
  } cases[] = {
      {"[{\"layerId\":1,", "malformed body: not JSON"},
      {layerCutout(1).dump(), "malformed body: expected an array of layer cutouts"},
      {"[1]", "malformed body: [0]: expected an object"},
      {edited([](json& e) { e.erase("cutout"); }), "malformed body: [0].cutout: missing"},
      {edited([](json& e) {
         e["cutout"]["hue"].erase("highLigh");
         e["cutout"]["hue"]["highLight"] = 0;
       }),
       "malformed body: [0].cutout.hue.highLight: unexpected member"},
      {edited([](json& e) { e["cutout"]["brightness"]["foregroundColor"]["R"] = "50"; }),
       "malformed body: [0].cutout.brightness.foregroundColor.R: expected a 32-bit integer"},
      {edited([](json& e) { e["cutout"]["type"] = 1.5; }),
       "malformed body: [0].cutout.type: expected a 32-bit integer"},
      {edited([](json& e) { e["layerId"] = 4294967297; }), "malformed body: [0].layerId: expected a 32-bit integer"},
      {edited([](json& e) { e["cutout"]["cursor"] = json::array(); }),
       "malformed body: [0].cutout.cursor: expected an object"},
  };
  for (const auto& c : cases) {
    const Reply reply = device.answer("PUT", Constants::PUTLAYERSCUTOUT, token, c.body);
    EXPECT_EQ(reply.status, 400) << c.body;
    EXPECT_EQ(json::parse(reply.body), (json{{"code", ResultCode::malformedBody}, {"message", c.message}}));
  }
}

TEST_F(DeviceTest, CursorColourComesFromTheColourBars) {
  const struct {
    int x;
    int r, g, b;
  } cases[] = {
      {0, 255, 255, 255}, {239, 255, 255, 255}, {240, 255, 255, 0}, {600, 0, 255, 255}, {959, 0, 255, 0},
      {960, 255, 0, 255}, {1300, 255, 0, 0},    {1679, 0, 0, 255},  {1680, 0, 0, 0},    {1919, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const json expected{
        {"code", 0},
        {"message", ""},
        {"data",
         {{"layerId", 3},
          {"cursor",
           {{"enable", 1}, {"pos", {{"x", c.x}, {"y", 1079}}}, {"color", {{"R", c.r}, {"G", c.g}, {"B", c.b}}}}}}}};
    EXPECT_EQ(cursorColour(3, c.x, 1079), expected) << c.x;
  }
}

TEST_F(DeviceTest, CursorOutsideTheCanvasIsRejected) {
  for (const auto& [x, y] : {std::pair{-1, 0}, {1920, 0}, {0, -1}, {0, 1080}}) {
    const json reply = cursorColour(1, x, y);
    EXPECT_EQ(reply["code"], ResultCode::outsideCanvas) << x << "," << y;
    EXPECT_FALSE(reply.contains("data"));
  }
  EXPECT_EQ(put(Constants::PUTLAYERSCUTOUTCURSOR, R"({"layerId":1,"cursor":{"enable":1}})")["code"],
            ResultCode::malformedBody);
}

TEST_F(DeviceTest, AssessmentJudgesEachLayerInOrder) {
  json body = json::array({layerCutout(3), layerCutout(1), layerCutout(2), layerCutout(4)});
  body[1]["cutout"]["brightness"]["gain"] = 101;
  body[2]["cutout"]["hue"]["color"]["B"] = -1;
  body[3]["cutout"]["enable"] = 2;
  const json reply = put(Constants::TAVROPROTOPUTASSESSLAYERCUTOUT, body.dump());
  const json interfaces3 = json::parse(R"([{"interfaceId":5},{"interfaceId":6}])");
  EXPECT_EQ(reply["code"], 0);
  ASSERT_EQ(reply["data"].size(), 4u);
  EXPECT_EQ(reply["data"][0], (json{{"layerId", 3}, {"state", 0}, {"interfaces", interfaces3}}));
  EXPECT_EQ(reply["data"][1]["state"], 1);
  EXPECT_EQ(reply["data"][2]["state"], 1);
  EXPECT_EQ(reply["data"][3]["state"], 1);
  EXPECT_EQ(device.layerCutout(3), std::nullopt);  // assessing changes nothing

  EXPECT_EQ(put(Constants::TAVROPROTOPUTASSESSLAYERCUTOUT, "[]")["data"], json::array());
}

}  // namespace
