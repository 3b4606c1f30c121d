#pragma once

#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "tests/plugin/tracedevice.h"

// The objects a strict partner has handed out and not yet taken back; each is
// freed the moment it comes back, so a later use of it is a use after free.
struct Holdings {
  template <typename T>
  T* handOut(std::unique_ptr<T> object) {
    T* raw = object.get();
    objects[raw] = std::shared_ptr<T>(std::move(object));
    return raw;
  }
  bool holds(const void* object) const { return objects.count(object) == 1; }
  // False for an object that was never handed out or is already back.
  bool takeBack(const void* object) { return objects.erase(object) == 1; }

  std::map<const void*, std::shared_ptr<void>> objects;
};

// A test-name word for each kind.
constexpr const char* kHandbackNames[] = {"reset", "leave", "poison"};
inline const char* handbackName(Handback handback) { return kHandbackNames[static_cast<int>(handback)]; }

inline void PrintTo(Handback handback, std::ostream* out) { *out << handbackName(handback); }

// A test name made of `words`, each character that may not stand in one turned into '_'.
inline std::string testName(std::string words) {
  for (char& c : words)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return words;
}

// What a partner that took an object back does to the caller's pointer. The
// poison is an address no object has, so a use of it fails at once.
template <typename T>
void handBack(T*& pointer, Handback handback) {
  if (handback == Handback::Reset) pointer = nullptr;
  if (handback == Handback::Poison) pointer = reinterpret_cast<T*>(std::uintptr_t{0x10});
}
