#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/pluginlibrary.h"
#include "tests/plugin/recordinghost.h"

namespace {

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

TEST(PluginEntry, RecordIsCompleteBeforeInitAndStable) {
  LCD::Host::PluginLibrary library(LCD_PLUGIN_PATH);
  const wyn::PluginInfo& before = library.info();
  RecordingHost host;
  library.init(&host);
  const wyn::PluginInfo& after = library.info();
  EXPECT_EQ(&before, &after);
  EXPECT_STREQ(after.apiVersion, "0.1");
  EXPECT_STREQ(after.name, "layercutoutmodel");
  EXPECT_STREQ(after.version, "0.1.0");
  EXPECT_STREQ(after.info, "{\"desc\":\"layer cutout model plugin!\",\"end\":0 }");
  ASSERT_NE(after.components[0], nullptr);
  EXPECT_EQ(after.components[1], nullptr);
  EXPECT_TRUE(host.serviceLookups.empty());
}

TEST(PluginEntry, DescriptorMakesAComponentThatIsItsOwnHandler) {
  LCD::Host::PluginLibrary library(LCD_PLUGIN_PATH);
  RecordingHost host;
  library.init(&host);
  const wyn::ComponentInfo& descriptor = *library.info().components[0];
  EXPECT_STREQ(descriptor.name, "tavro.lcd.model.layer.cutout");
  EXPECT_EQ(std::string(descriptor.info), std::string("{\"end\":0 }\r\n"));
  EXPECT_EQ(std::string(descriptor.info).size(), 12u);

  void* component = descriptor.creator();
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(static_cast<void*>(descriptor.getMessageHandler(component)), component);
  EXPECT_EQ(host.serviceLookups,
            (std::vector<std::string>{"wyn_default_messagecenter", "commanddispatcher", "eventdispatcher"}));
  descriptor.deletor(component);
  descriptor.deletor(nullptr);
}

TEST(PluginLibraryFile, ExportsOnlyItsEntryPointsAndFindsItsCommunicator) {
  const std::string path = LCD_PLUGIN_PATH;
  std::string symbols = commandOutput("nm -D --defined-only '" + path + "' | awk '{print $NF}' | sort");
  EXPECT_EQ(symbols, "pluginfo\npluginit\n");

  const std::string dynamic = commandOutput("readelf -d '" + path + "'");
  EXPECT_NE(dynamic.find("Library soname: [liblayercutoutmodel.so.1]"), std::string::npos) << dynamic;
  EXPECT_NE(dynamic.find("Library runpath: [$ORIGIN:$ORIGIN/..:$ORIGIN/../lib]"), std::string::npos) << dynamic;
  EXPECT_NE(dynamic.find("Shared library: [liblcdcommunicator.so.1]"), std::string::npos) << dynamic;
}

}  // namespace
