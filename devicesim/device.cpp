#include "devicesim/device.h"

#include "devicesim/assessment.h"
#include "devicesim/colourbars.h"
#include "devicesim/deviceschemas.h"
#include "devicesim/resultcode.h"
#include "proto/constants.h"
#include "proto/reportstream.h"
#include "proto/response.h"

#include <cstdio>

namespace LCD {
namespace DeviceSim {
namespace {

namespace Constants = LCD::Proto::Constants;

constexpr int kHttpOk = 200;
constexpr int kHttpBadRequest = 400;
constexpr int kHttpUnauthorized = 401;
constexpr int kHttpNotFound = 404;

Reply malformed(const std::string& what) {
  return failureReply(kHttpBadRequest, ResultCode::malformedBody, "malformed body: " + what);
}

Reply unknownLayer(std::int64_t layerId) {
  return failureReply(kHttpOk, ResultCode::unknownLayer, "unknown layer " + std::to_string(layerId));
}

// A layer the device has never set holds the record's defaults.
nlohmann::json defaultCutout() {
  std::string text;
  ProtoModel::encode(text, std::vector<ProtoModel::Layer::s_LayerCutout>(1));
  return nlohmann::json::parse(text)[0]["cutout"];
}

bool isCredentials(const nlohmann::json& body) {
  return body.is_object() && body.contains("username") && body["username"].is_string() && body.contains("password") &&
         body["password"].is_string();
}

}  // namespace

Device::Device(DeviceConfig config)
    : user_(std::move(config.user)),
      password_(std::move(config.password)),
      reports_(std::move(config.reports)),
      lastReport_(std::move(config.lastReport)),
      random_(std::random_device{}()) {
  const nlohmann::json cursorOff = {{"enable", 0}, {"pos", {{"x", 0}, {"y", 0}}}};
  for (int layer : config.layers) {
    layers_.emplace(layer, std::nullopt);
    cursors_.emplace(layer, cursorOff);
  }
}

Reply Device::answer(const std::string& method, const std::string& path, const std::string& authorization,
                     const std::string& body) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (method == Constants::HTTPPOSTREQUEST && path == Constants::POSTLOGIN) {
    return withJsonBody(body, &Device::logIn);
  }
  Handler handler = nullptr;
  if (method == Constants::HTTPGETREQUEST && path == Constants::PUTLAYERSCUTOUT) {
    const std::optional<Reply> refused = tokenRefusal(authorization);
    return refused ? *refused : cutoutState();
  }
  if (method == Constants::HTTPPUTREQUEST && path == Constants::PUTLAYERSCUTOUT) {
    handler = &Device::setCutout;
  } else if (method == Constants::HTTPPUTREQUEST && path == Constants::PUTLAYERSCUTOUTCURSOR) {
    handler = &Device::readCursorColour;
  } else if (method == Constants::HTTPPUTREQUEST && path == Constants::TAVROPROTOPUTASSESSLAYERCUTOUT) {
    handler = &Device::assess;
  } else {
    return failureReply(kHttpNotFound, ResultCode::noSuchResource, "no resource " + method + " " + path);
  }
  if (std::optional<Reply> refused = tokenRefusal(authorization)) {
    return *refused;
  }
  return withJsonBody(body, handler);
}

std::optional<Reply> Device::refusal(const std::string& authorization) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return tokenRefusal(authorization);
}

std::string Device::currentToken() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return token_;
}

void Device::revokeToken() {
  std::lock_guard<std::mutex> lock(mutex_);
  token_.clear();
}

std::optional<nlohmann::json> Device::layerCutout(int layerId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto layer = layers_.find(layerId);
  return layer != layers_.end() ? layer->second : std::nullopt;
}

Reply Device::withJsonBody(const std::string& body, Handler handler) {
  const nlohmann::json parsed = nlohmann::json::parse(body, nullptr, false);
  if (parsed.is_discarded()) {
    return malformed("not JSON");
  }
  return (this->*handler)(parsed);
}

Reply Device::logIn(const nlohmann::json& body) {
  if (!isCredentials(body)) {
    return malformed("expected {\"username\":\"...\",\"password\":\"...\"}");
  }
  if (body["username"] != user_ || body["password"] != password_) {
    return failureReply(kHttpUnauthorized, ResultCode::badCredentials, "invalid username or password");
  }
  if (token_.empty()) {
    token_ = mintToken();
  }
  return successReply({{"token", token_}});
}

Reply Device::setCutout(const nlohmann::json& body) {
  if (std::optional<Reply> fault = cutoutListFault(body)) {
    return *fault;
  }
  nlohmann::json changed = nlohmann::json::array();
  for (const nlohmann::json& element : body) {
    std::optional<nlohmann::json>& cutout = layers_[element["layerId"].get<int>()];
    if (cutout != element["cutout"]) {
      cutout = element["cutout"];
      changed.push_back(element);
    }
  }
  if (!changed.empty() && reports_) {
    reports_(Proto::ReportStream::kCutoutReportCode, changed.dump());
  }
  return successReply();
}

Reply Device::readCursorColour(const nlohmann::json& body) {
  if (std::string fault = shapeFault(body, cursorColourRequestSchema(), ""); !fault.empty()) {
    return malformed(fault);
  }
  const auto layerId = body["layerId"].get<std::int64_t>();
  if (!isKnownLayer(layerId)) {
    return unknownLayer(layerId);
  }
  const nlohmann::json& cursor = body["cursor"];
  const int x = cursor["pos"]["x"].get<int>();
  const int y = cursor["pos"]["y"].get<int>();
  if (!onCanvas(x, y)) {
    return failureReply(kHttpOk, ResultCode::outsideCanvas,
                        "position (" + std::to_string(x) + ", " + std::to_string(y) + ") outside the 1920x1080 canvas");
  }
  const Rgb colour = colourBarAt(x);
  nlohmann::json result = cursor;
  result["color"] = {{"R", colour.r}, {"G", colour.g}, {"B", colour.b}};
  const nlohmann::json reading = {{"layerId", layerId}, {"cursor", result}};
  if (nlohmann::json& last = cursors_[static_cast<int>(layerId)]; last != cursor) {
    last = cursor;
    if (reports_) {
      reports_(Proto::ReportStream::kCursorReportCode, reading.dump());
    }
  }
  return successReply(reading);
}

Reply Device::assess(const nlohmann::json& body) {
  if (std::optional<Reply> fault = cutoutListFault(body)) {
    return *fault;
  }
  nlohmann::json results = nlohmann::json::array();
  for (const nlohmann::json& element : body) {
    results.push_back(assessLayer(element));
  }
  return successReply(results);
}

Reply Device::cutoutState() const {
  static const nlohmann::json defaults = defaultCutout();
  nlohmann::json layers = nlohmann::json::array();
  for (const auto& [layerId, cutout] : layers_) {
    layers.push_back({{"layerId", layerId}, {"cutout", cutout.value_or(defaults)}});
  }
  Reply reply = successReply(layers);
  nlohmann::json body = nlohmann::json::parse(reply.body);
  body[Proto::ReportStream::kStateReportIdKey] = lastReport_ ? lastReport_() : std::string();
  reply.body = body.dump();
  return reply;
}

std::optional<Reply> Device::cutoutListFault(const nlohmann::json& body) const {
  if (!body.is_array()) {
    return malformed("expected an array of layer cutouts");
  }
  for (std::size_t i = 0; i < body.size(); ++i) {
    const std::string where = "[" + std::to_string(i) + "]";
    if (std::string fault = shapeFault(body[i], layerCutoutSchema(), where); !fault.empty()) {
      return malformed(fault);
    }
  }
  for (const nlohmann::json& element : body) {
    if (const auto layerId = element["layerId"].get<std::int64_t>(); !isKnownLayer(layerId)) {
      return unknownLayer(layerId);
    }
  }
  return std::nullopt;
}

std::optional<Reply> Device::tokenRefusal(const std::string& authorization) const {
  if (token_.empty() || authorization != token_) {
    return failureReply(kHttpUnauthorized, ResultCode::unauthorized, "unauthorized: missing or stale token");
  }
  return std::nullopt;
}

bool Device::isKnownLayer(std::int64_t layerId) const { return layers_.count(static_cast<int>(layerId)) != 0; }

std::string Device::mintToken() {
  char random[17];
  std::snprintf(random, sizeof random, "%016llx", static_cast<unsigned long long>(random_()));
  return "sim-" + std::to_string(++tokensIssued_) + "-" + random;
}

}  // namespace DeviceSim
}  // namespace LCD
