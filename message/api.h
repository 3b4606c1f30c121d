#pragma once

#include "message/ihostapi.h"

namespace wyn::api {

// Three pointer-sized words; the first is the host API object, the others
// are reserved and stay null.
struct Record {
  IHostApi* host;
  void* reserved[2];
};
static_assert(sizeof(Record) == 3 * sizeof(void*), "plug-ins rely on three pointer-sized words");

// The module's own record: defined inline in every module that includes this
// header, so each plug-in keeps the pointer its pluginit was given. Constant
// zero-initialisation makes first use from several threads safe.
inline Record& get() {
  static Record record{};
  return record;
}

}  // namespace wyn::api
