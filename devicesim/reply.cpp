#include "devicesim/reply.h"

#include "devicesim/resultcode.h"

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kHttpOk = 200;

nlohmann::json envelope(int code, const std::string& message) { return {{"code", code}, {"message", message}}; }

}  // namespace

Reply successReply() { return {kHttpOk, envelope(ResultCode::ok, "").dump()}; }

Reply successReply(const nlohmann::json& data) {
  nlohmann::json body = envelope(ResultCode::ok, "");
  body["data"] = data;
  return {kHttpOk, body.dump()};
}

Reply failureReply(int httpStatus, int code, const std::string& message) {
  return {httpStatus, envelope(code, message).dump()};
}

}  // namespace DeviceSim
}  // namespace LCD
