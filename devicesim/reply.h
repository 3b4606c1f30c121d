#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace LCD {
namespace DeviceSim {

// An HTTP answer of the simulated device, before any injected fault.
struct Reply {
  int status;
  std::string body;
};

// {"code":0,"message":""}, with "data" when given.
Reply successReply();
Reply successReply(const nlohmann::json& data);

// {"code":code,"message":message} with the given HTTP status.
Reply failureReply(int httpStatus, int code, const std::string& message);

}  // namespace DeviceSim
}  // namespace LCD
