#pragma once

#include <string>

namespace LCD::Tools {

// The whole content of `path`, or of standard input for "-". Throws CliError
// (bad usage) naming the file when it cannot be read.
std::string readInput(const std::string& path);

// How messages name the input: the path, or "standard input" for "-".
std::string inputName(const std::string& path);

}  // namespace LCD::Tools
