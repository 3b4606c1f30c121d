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
// header. Each plug-in keeps the pointer its pluginit was given only if it
// hides its symbols (-fvisibility=hidden, or a version script exporting just
// pluginfo and pluginit): a visible inline function is merged across the
// process by the dynamic linker, and every plug-in would then share one
// record, the last pluginit's. Constant zero-initialisation makes first use
// from several threads safe.
inline Record& get() {
  static Record record{};
  return record;
}

}  // namespace wyn::api
