#pragma once

#include <string>
#include <utility>
#include <vector>

namespace LCD {
namespace Communicator {

// A request's header fields in the order they were set.
using HeaderFields = std::vector<std::pair<std::string, std::string>>;

// The first field called `name`, compared without regard to case; null when there is none.
const std::string* findHeader(const HeaderFields& headers, const char* name);

// A method or field name: one HTTP token.
bool isToken(const std::string& text);

// A field value that cannot end the header line or the head: no control byte.
bool isFieldValue(const std::string& text);

}  // namespace Communicator
}  // namespace LCD
