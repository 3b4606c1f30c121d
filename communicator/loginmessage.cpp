#include "communicator/loginmessage.h"

#include "communicator/headerfields.h"

#include <nlohmann/json.hpp>

namespace LCD {
namespace Communicator {
namespace {

// Well inside the 8 KiB a server commonly allows for one header line.
constexpr std::size_t kMaxTokenBytes = 4096;

// A token goes out as the Authorization header: one that cannot would be
// kept, refused locally on every request and never cleared by a 401.
bool isSendableToken(const std::string& token) {
  return !token.empty() && token.size() <= kMaxTokenBytes && isFieldValue(token);
}

}  // namespace

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
  const auto& text = token->get_ref<const std::string&>();
  return isSendableToken(text) ? text : std::string();
}

}  // namespace Communicator
}  // namespace LCD
