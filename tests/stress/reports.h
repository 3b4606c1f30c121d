#pragma once

#include <string>

namespace Stress {

// A device report around a body text, with the body escaped as the device
// sends it and no error code.
std::string reportAbout(const std::string& body);

}  // namespace Stress
