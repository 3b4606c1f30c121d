#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace LCD {
namespace DeviceSim {

// The shape of a JSON object the device accepts: named members that are
// either 32-bit integers with a plausible range, or objects of their own shape.
struct SchemaNode {
  std::string name;
  int min;
  int max;
  std::vector<SchemaNode> members;  // empty for an integer
};

SchemaNode integerMember(std::string name, int min, int max);
SchemaNode objectMember(std::string name, std::vector<SchemaNode> members);

// Empty when `value` is an object with exactly `members`, each of its shape;
// otherwise where (dotted from `where`) and what is wrong, for the reply.
std::string shapeFault(const nlohmann::json& value, const std::vector<SchemaNode>& members, const std::string& where);

// Whether every integer of a `value` of the right shape lies in its range.
bool withinRanges(const nlohmann::json& value, const std::vector<SchemaNode>& members);

}  // namespace DeviceSim
}  // namespace LCD
