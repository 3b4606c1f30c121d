#include "devicesim/requesthead.h"

namespace LCD {
namespace DeviceSim {
namespace {

std::string withoutBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> headerFieldsOf(const std::string& head) {
  std::vector<std::pair<std::string, std::string>> fields;
  size_t lineStart = head.find("\r\n");  // past the request line
  while (lineStart != std::string::npos) {
    lineStart += 2;
    const size_t lineEnd = head.find("\r\n", lineStart);
    const std::string line = head.substr(lineStart, lineEnd - lineStart);
    if (const size_t colon = line.find(':'); colon != std::string::npos) {
      fields.emplace_back(line.substr(0, colon), withoutBlanks(line.substr(colon + 1)));
    }
    lineStart = lineEnd;
  }
  return fields;
}

}  // namespace DeviceSim
}  // namespace LCD
