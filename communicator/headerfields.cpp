#include "communicator/headerfields.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace LCD {
namespace Communicator {

const std::string* findHeader(const HeaderFields& headers, const char* name) {
  const auto field = std::find_if(headers.begin(), headers.end(),
                                  [name](const auto& f) { return strcasecmp(f.first.c_str(), name) == 0; });
  return field != headers.end() ? &field->second : nullptr;
}

bool isToken(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
  });
}

bool isFieldValue(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7f;
  });
}

}  // namespace Communicator
}  // namespace LCD
