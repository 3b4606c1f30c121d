#pragma once

#include <exception>
#include <string>

namespace ajson {

// The codec's only exception type; its text always carries the position of the fault.
class exception : public std::exception {
 public:
  explicit exception(const std::string& message) : message_(message) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace ajson
