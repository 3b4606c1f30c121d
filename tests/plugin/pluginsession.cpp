#include "tests/plugin/pluginsession.h"

#include <gtest/gtest.h>

#include "communicator/devicesettings.h"

PluginSession::PluginSession() {
  LCD::Communicator::DeviceSettings settings;
  settings.url = device_.url();
  settings.timeoutMs = 2000;
  LCD::Communicator::configureDevice(settings);
  plugin_ = std::make_unique<LCD::Host::Plugin>(pluginPath(), runtime_);
  log_.clear();
}

PluginSession::~PluginSession() { plugin_.reset(); }

const char* PluginSession::pluginPath() { return LCD_PLUGIN_PATH; }

LCD::Host::CommandResult PluginSession::command(std::uint32_t id, const void* data, int size) {
  return runtime_.sendCommand(id, data, size);
}

void PluginSession::report(std::uint32_t id, const std::string& text) {
  runtime_.sendEvent(id, text.c_str(), static_cast<int>(text.size() + 1));
}

std::vector<LCD::DeviceSim::RecordedRequest> PluginSession::takeRequests() {
  auto requests = device_.requests();
  device_.clearRequests();
  return requests;
}

void expectOnlyLog(const LogCapture& log, const ExpectedLog& expected) {
  const auto entries = log.entries();
  ASSERT_EQ(entries.size(), 1u) << (entries.empty() ? "" : entries.back().text);
  const LogEntry& entry = entries.front();
  EXPECT_EQ(entry.level, expected.level);
  EXPECT_EQ(entry.text, expected.text);
  EXPECT_EQ(entry.file, "layercutoutmodel");
  EXPECT_EQ(entry.function, expected.function);
  EXPECT_EQ(entry.category, "default");
  EXPECT_GT(entry.line, 0);
}

void expectNoLog(const LogCapture& log) {
  const auto texts = log.texts();
  EXPECT_TRUE(texts.empty()) << texts.front();
}
