#pragma once

#include <new>

#include "message/componentinfo.h"
#include "message/imessagehandler.h"

namespace wyn {

// The descriptor functions for component class T, whose first base must be
// IMessageHandler. The plug-in defines the descriptor itself:
//   template <>
//   wyn::ComponentInfo wyn::ComponentTmpl<T>::componentInfo =
//       wyn::ComponentTmpl<T>::describe("component.name", "{}");
template <typename T>
struct ComponentTmpl {
  static ComponentInfo componentInfo;

  // Null on allocation failure; if the constructor throws, new frees the
  // memory and the exception propagates.
  static void* creator() { return new (std::nothrow) T(); }

  // Deleting null is a no-op.
  static void deletor(void* p) { delete static_cast<T*>(p); }

  // No pointer adjustment: the handler interface is T's first base.
  static IMessageHandler* getMessageHandler(void* p) { return static_cast<IMessageHandler*>(p); }

  static ComponentInfo describe(const char* name, const char* info) {
    return ComponentInfo{&creator, &deletor, &getMessageHandler, name, info};
  }
};

}  // namespace wyn
