#pragma once

#include <string>

namespace LCD {
namespace Communicator {

// The full URL of a resource path on the device at `deviceUrl`; a trailing
// slash on the device URL does not double the one that starts the path.
// Inline, so that the host's report relay builds its URL by the same rule.
inline std::string resourceUrl(std::string deviceUrl, const std::string& path) {
  while (!deviceUrl.empty() && deviceUrl.back() == '/') {
    deviceUrl.pop_back();
  }
  if (path.empty() || path.front() != '/') {
    deviceUrl += '/';
  }
  return deviceUrl + path;
}

}  // namespace Communicator
}  // namespace LCD
