#pragma once

#include <QtGlobal>
#include <mutex>
#include <string>
#include <vector>

// Collects what the plug-in logs through Qt, with the full context of each
// message, for as long as it lives.
struct LogEntry {
  QtMsgType level;
  std::string file;
  int line;
  std::string function;
  std::string category;
  std::string text;
};

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LogEntry> entries() const;
  std::vector<std::string> texts() const;
  void clear();

 private:
  static void collect(QtMsgType level, const QMessageLogContext& context, const QString& text);

  QtMessageHandler previous_;
};
