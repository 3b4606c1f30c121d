#include "communicator/loginmessage.h"

#include <nlohmann/json.hpp>

namespace LCD {
namespace Communicator {

std::string loginRequestBody(const std::string& user, const std::string& password) {
  const nlohmann::json body{{"username", user}, {"password", password}};
  // Credentials that are not valid UTF-8 must not throw out of a login.
  return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string tokenFromLoginReply(const std::string& body) {
  const nlohmann::json reply = nlohmann::json::parse(body, nullptr, false);
  if (!reply.is_object()) {
    return {};
  }
  // As with every reply envelope of the device, an absent "code" means success.
  const auto code = reply.find("code");
  if (code != reply.end() && (!code->is_number_integer() || code->get<long long>() != 0)) {
    return {};
  }
  const auto data = reply.find("data");
  if (data == reply.end() || !data->is_object()) {
    return {};
  }
  const auto token = data->find("token");
  if (token == data->end() || !token->is_string()) {
    return {};
  }
  return token->get<std::string>();
}

}  // namespace Communicator
}  // namespace LCD
