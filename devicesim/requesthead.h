#pragma once

#include <string>
#include <utility>
#include <vector>

namespace LCD {
namespace DeviceSim {

// The header fields of a request head (request line, then "Name: value"
// lines, each ended by CRLF), in the order sent; values lose only the
// surrounding blanks, so an empty value stays an empty value.
std::vector<std::pair<std::string, std::string>> headerFieldsOf(const std::string& head);

}  // namespace DeviceSim
}  // namespace LCD
