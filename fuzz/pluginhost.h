#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <utility>
#include <vector>

#include "host/plugin.h"
#include "host/runtime.h"

// The layer cutout plug-in loaded from the build tree into a host runtime, as
// a host loads it, once per process and kept until exit. What it logs is
// collected instead of printed: fuzz input makes it warn on nearly every run.
namespace fuzz {

// What the plug-in logged, the texts alone.
inline std::vector<std::string> pluginLog;

inline LCD::Host::Runtime& pluginRuntime() {
  [[maybe_unused]] static const QtMessageHandler printer = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { pluginLog.push_back(text.toStdString()); });
  // Never unloaded: the fuzzer may exit from any point of a run.
  static auto* runtime = new LCD::Host::Runtime;
  [[maybe_unused]] static auto* plugin = new LCD::Host::Plugin(LCD_PLUGIN_PATH, *runtime);
  return *runtime;
}

// The texts the plug-in logged since the last call, oldest first.
inline std::vector<std::string> takePluginLog() { return std::exchange(pluginLog, {}); }

}  // namespace fuzz
