#pragma once

#include <stdexcept>

namespace LCD::Host {

// A plug-in that cannot be loaded or whose components cannot be created; the
// text names the library and the cause.
class PluginError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace LCD::Host
