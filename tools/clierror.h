#pragma once

#include <stdexcept>
#include <string>

namespace LCD::Tools {

// What lcd-host's exit status tells a script.
enum class ExitCode : int {
  success = 0,
  // The device said no, or nobody answered.
  deviceFailure = 1,
  // The command line or an input file is wrong.
  badUsage = 2,
  // lcd-host itself failed; the device and the input are not to blame.
  internalError = 3,
};

// A failure that ends the run: one line for stderr and the exit status.
class CliError : public std::runtime_error {
 public:
  CliError(ExitCode code, const std::string& what) : std::runtime_error(what), code_(code) {}

  ExitCode code() const { return code_; }

 private:
  ExitCode code_;
};

}  // namespace LCD::Tools
