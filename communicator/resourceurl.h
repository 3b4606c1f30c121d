#pragma once

#include <string>

namespace LCD {
namespace Communicator {

// The full URL of a resource path on the device at `deviceUrl`; a trailing
// slash on the device URL does not double the one that starts the path.
std::string resourceUrl(const std::string& deviceUrl, const std::string& path);

}  // namespace Communicator
}  // namespace LCD
