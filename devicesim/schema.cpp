#include "devicesim/schema.h"

#include <cstdint>
#include <limits>

namespace LCD {
namespace DeviceSim {
namespace {

bool isInt32(const nlohmann::json& value) {
  if (value.is_number_unsigned()) {
    return value.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max();
  }
  if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    return number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max();
  }
  return false;
}

std::string memberPath(const std::string& where, const std::string& name) {
  return where.empty() ? name : where + "." + name;
}

const SchemaNode* findMember(const std::vector<SchemaNode>& members, const std::string& name) {
  for (const SchemaNode& member : members) {
    if (member.name == name) {
      return &member;
    }
  }
  return nullptr;
}

std::string memberFault(const nlohmann::json& value, const SchemaNode& member, const std::string& path) {
  if (member.members.empty()) {
    return isInt32(value) ? std::string() : path + ": expected a 32-bit integer";
  }
  return shapeFault(value, member.members, path);
}

}  // namespace

SchemaNode integerMember(std::string name, int min, int max) { return {std::move(name), min, max, {}}; }

SchemaNode objectMember(std::string name, std::vector<SchemaNode> members) {
  return {std::move(name), 0, 0, std::move(members)};
}

std::string shapeFault(const nlohmann::json& value, const std::vector<SchemaNode>& members, const std::string& where) {
  if (!value.is_object()) {
    return (where.empty() ? std::string("body") : where) + ": expected an object";
  }
  for (const auto& item : value.items()) {
    if (findMember(members, item.key()) == nullptr) {
      return memberPath(where, item.key()) + ": unexpected member";
    }
  }
  for (const SchemaNode& member : members) {
    const std::string path = memberPath(where, member.name);
    const auto found = value.find(member.name);
    if (found == value.end()) {
      return path + ": missing";
    }
    if (std::string fault = memberFault(*found, member, path); !fault.empty()) {
      return fault;
    }
  }
  return {};
}

bool withinRanges(const nlohmann::json& value, const std::vector<SchemaNode>& members) {
  for (const SchemaNode& member : members) {
    const nlohmann::json& item = value.at(member.name);
    const bool plausible = member.members.empty()
                               ? item.get<std::int64_t>() >= member.min && item.get<std::int64_t>() <= member.max
                               : withinRanges(item, member.members);
    if (!plausible) {
      return false;
    }
  }
  return true;
}

}  // namespace DeviceSim
}  // namespace LCD
