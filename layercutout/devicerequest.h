#pragma once

#include <string>

namespace LayerCutout {

struct DeviceReply {
  bool answered;     // false when no response came back at all
  std::string body;  // the device's reply text, as many bytes as it sent
};

// One synchronous PUT of a JSON body to a device path through the
// communicator, with the content type and the current login token. Request
// and response are released before it returns.
DeviceReply putJson(const char* path, const std::string& body);

}  // namespace LayerCutout
