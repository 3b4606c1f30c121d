#pragma once

#include <string>

namespace LCD {
namespace Communicator {

// {"username":...,"password":...} as JSON text.
std::string loginRequestBody(const std::string& user, const std::string& password);

// The token of a successful login reply {"code":0,...,"data":{"token":"..."}}
// ("code" may be absent); empty for anything else, and for a token that
// cannot be sent as a header value.
std::string tokenFromLoginReply(const std::string& body);

}  // namespace Communicator
}  // namespace LCD
