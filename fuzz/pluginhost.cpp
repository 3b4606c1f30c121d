#include "fuzz/pluginhost.h"

#include <QString>
#include <QtGlobal>
#include <utility>

#include "host/plugin.h"

namespace fuzz {

namespace {

std::vector<std::string> logged;

void collect(QtMsgType, const QMessageLogContext&, const QString& text) { logged.push_back(text.toStdString()); }

struct LoadedPlugin {
  LCD::Host::Runtime runtime;
  LCD::Host::Plugin plugin{LCD_PLUGIN_PATH, runtime};
};

}  // namespace

LCD::Host::Runtime& pluginRuntime() {
  // Never unloaded: the fuzzer may exit from any point of a run.
  static LoadedPlugin* loaded = [] {
    qInstallMessageHandler(collect);
    return new LoadedPlugin;
  }();
  return loaded->runtime;
}

std::vector<std::string> takePluginLog() { return std::exchange(logged, {}); }

}  // namespace fuzz
