#include "tests/plugin/logcapture.h"

#include <QString>

namespace {

std::mutex entriesMutex;
std::vector<LogEntry> collected;

std::string orEmpty(const char* text) { return text == nullptr ? std::string() : std::string(text); }

}  // namespace

LogCapture::LogCapture() : previous_(qInstallMessageHandler(&LogCapture::collect)) { clear(); }

LogCapture::~LogCapture() { qInstallMessageHandler(previous_); }

void LogCapture::collect(QtMsgType level, const QMessageLogContext& context, const QString& text) {
  std::lock_guard<std::mutex> lock(entriesMutex);
  collected.push_back({level, orEmpty(context.file), context.line, orEmpty(context.function), orEmpty(context.category),
                       text.toStdString()});
}

std::vector<LogEntry> LogCapture::entries() const {
  std::lock_guard<std::mutex> lock(entriesMutex);
  return collected;
}

std::vector<std::string> LogCapture::texts() const {
  std::vector<std::string> out;
  for (const auto& entry : entries()) out.push_back(entry.text);
  return out;
}

void LogCapture::clear() {
  std::lock_guard<std::mutex> lock(entriesMutex);
  collected.clear();
}
