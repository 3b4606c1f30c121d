#include "tools/outputdocuments.h"

#include <cstdio>

namespace LCD::Tools {

std::string hexId(std::uint32_t id) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(id));
  return text;
}

}  // namespace LCD::Tools
