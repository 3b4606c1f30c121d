#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/tools/processrun.h"
#include "tests/tools/scratchdir.h"

// `cmake --install` of this build tree into a temporary prefix, then the
// prefix used on its own: lcd-host run from it, and a project built against it.
namespace {

class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = std::make_unique<ScratchDir>();
    install_ = runProcess({LCD_CMAKE_COMMAND, "--install", LCD_BUILD_DIR, "--prefix", prefix()});
  }
  static void TearDownTestSuite() { scratch_.reset(); }

  void SetUp() override { ASSERT_EQ(install_.exitCode, 0) << install_.out << install_.err; }

  static std::string prefix() { return (scratch_->path() / "prefix").string(); }
  static std::string inPrefix(const std::string& relative) { return prefix() + "/" + relative; }

  static std::unique_ptr<ScratchDir> scratch_;
  static ProcessResult install_;
};

std::unique_ptr<ScratchDir> InstalledTree::scratch_;
ProcessResult InstalledTree::install_;

TEST_F(InstalledTree, LaysOutLibrariesToolHeadersAndPackage) {
  for (const char* file : {
           "bin/lcd-host",
           "lib/liblayercutoutmodel.so.1",
           "lib/liblcdcommunicator.so.1",
           "include/ajson/ajson.hpp",
           "include/proto/layercutout.h",
           "include/proto/response.h",
           "include/proto/constants.h",
           "include/message/imessage.h",
           "include/message/plugininfo.h",
           "include/message/componenttmpl.h",
           "include/layercutout/messageids.h",
           "include/layercutout/assessexchange.h",
           "include/layercutout/httpsingleton.h",
           "include/communicator/devicesettings.h",
           "lib/cmake/layercutoutmodel/layercutoutmodelConfig.cmake",
           "lib/cmake/layercutoutmodel/layercutoutmodelConfigVersion.cmake",
           "lib/cmake/layercutoutmodel/layercutoutmodelTargets.cmake",
       }) {
    EXPECT_TRUE(std::filesystem::is_regular_file(inPrefix(file))) << file;
  }
  // The plug-in's own base class stays private to it.
  EXPECT_FALSE(std::filesystem::exists(inPrefix("include/message/messagehandler.h")));
}

TEST_F(InstalledTree, PluginLooksForItsLibrariesBesideItself) {
  const ProcessResult dynamic = runProcess({"/usr/bin/readelf", "-d", inPrefix("lib/liblayercutoutmodel.so.1")});
  EXPECT_NE(dynamic.out.find("Library runpath: [$ORIGIN:$ORIGIN/..:$ORIGIN/../lib]"), std::string::npos) << dynamic.out;
  EXPECT_NE(dynamic.out.find("Shared library: [liblcdcommunicator.so.1]"), std::string::npos) << dynamic.out;
}

TEST_F(InstalledTree, InstalledLcdHostLoadsThePluginFromThePrefix) {
  const std::string lcdHost = inPrefix("bin/lcd-host");
  const ProcessResult result = runTargetProgram({lcdHost, "read-color", "--layer", "1", "--x", "300", "--y", "200"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, R"({"layerId":1,"cursor":{"enable":1,"pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}})"
                        "\n");
  const ProcessResult demo = runTargetProgram({lcdHost, "demo"});
  EXPECT_NE(demo.out.find("plug-in: " + inPrefix("lib/liblayercutoutmodel.so.1")), std::string::npos) << demo.out;
}

// An integrator's project finds the package and builds against the prefix
// alone; its host loads the plug-in, which must find the communicator itself.
TEST_F(InstalledTree, PackageConfigServesAnIntegratorsProject) {
  const std::string build = (scratch_->path() / "consumer").string();
  std::vector<std::string> configure{LCD_CMAKE_COMMAND,
                                     "-S",
                                     LCD_CONSUMER_SOURCE_DIR,
                                     "-B",
                                     build,
                                     "-DCMAKE_PREFIX_PATH=" + prefix(),
                                     "-DCMAKE_CXX_COMPILER=" LCD_CXX_COMPILER,
                                     "-DCMAKE_CXX_FLAGS=" LCD_CXX_FLAGS};
  if (!std::string(LCD_TOOLCHAIN_FILE).empty()) {
    configure.push_back("-DCMAKE_TOOLCHAIN_FILE=" LCD_TOOLCHAIN_FILE);
  }
  const ProcessResult configured = runProcess(configure);
  ASSERT_EQ(configured.exitCode, 0) << configured.out << configured.err;
  const ProcessResult compiled = runProcess({LCD_CMAKE_COMMAND, "--build", build});
  ASSERT_EQ(compiled.exitCode, 0) << compiled.out << compiled.err;

  const ProcessResult loaded = runTargetProgram({build + "/load_plugin"});
  EXPECT_EQ(loaded.exitCode, 0) << loaded.out << loaded.err;
  EXPECT_EQ(loaded.out,
            "layercutoutmodel 0.1.0 tavro.lcd.model.layer.cutout 0xfc050413 120 "
            R"({"layerId":2,"cursor":{"enable":0,"pos":{"x":0,"y":0}}})"
            "\n");
  const ProcessResult configuredDevice = runTargetProgram({build + "/configure_device"});
  EXPECT_EQ(configuredDevice.exitCode, 0) << configuredDevice.err;
  EXPECT_EQ(configuredDevice.out, "http://192.0.2.1:8080 client\n");
}

}  // namespace
