#include "tools/inputfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/clierror.h"

namespace LCD::Tools {
namespace {

std::string readAll(std::istream& in) {
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

[[noreturn]] void unreadable(const std::string& path, const std::string& why) {
  throw CliError(ExitCode::badUsage, "cannot read " + path + ": " + why);
}

}  // namespace

std::string readInput(const std::string& path) {
  if (path == "-") {
    return readAll(std::cin);
  }
  // A directory opens like a file on Linux and then reads as nothing.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    unreadable(path, "is a directory");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    unreadable(path, std::strerror(errno));
  }
  return readAll(file);
}

std::string inputName(const std::string& path) { return path == "-" ? "standard input" : path; }

}  // namespace LCD::Tools
