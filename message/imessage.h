#pragma once

#include <cstdint>

namespace wyn {

// Message types: a command expects a synchronous answer, an event does not.
constexpr std::uint32_t kCommandType = 0xF0000001u;
constexpr std::uint32_t kEventType = 0xF0000002u;

// Ids the framework keeps for itself. The first asks a new component to
// register its handlers; components ignore the others.
constexpr std::uint32_t kInitialiseId = 0xFFFF0000u;
constexpr std::uint32_t kReservedId1 = 0xFFFF0001u;
constexpr std::uint32_t kReservedId2 = 0xFFFF0002u;
constexpr std::uint32_t kReservedId3 = 0xFFFFFFFEu;
constexpr std::uint32_t kReservedId4 = 0xFFFFFFFFu;

// A host message: type, id and a payload that the message owns. Plug-ins are
// compiled against this vtable, so the order of the virtual functions is fixed:
// destructor (two slots), getType, getId, getDataSize, getData, getSender.
class IMessage {
 public:
  virtual ~IMessage() = default;
  virtual std::uint32_t getType() const = 0;
  virtual std::uint32_t getId() const = 0;
  virtual int getDataSize() const = 0;
  // Null when the payload is empty.
  virtual const void* getData() const = 0;
  virtual const char* getSender() const = 0;
};

}  // namespace wyn
