// `cmake --install` of this build tree into a temporary prefix, then the
// prefix used on its own: lcd-host run from it, and an
// integrator's project built against its CMake package alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/processrun.h"

namespace {

TEST(InstalledTree, ServesLcdHostAndAnIntegratorsProject) {
  ScratchDir scratch;
  const std::string prefix = (scratch.path() / "prefix").string();
  const ProcessResult install = runProcess({LCD_CMAKE_COMMAND, "--install", LCD_BUILD_DIR, "--prefix", prefix});
  ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  // The plug-in's own base class stays private to it.
  EXPECT_FALSE(std::filesystem::exists(prefix + "/include/message/messagehandler.h"));

  const ProcessResult read =
      runProcess(onTarget({prefix + "/bin/lcd-host", "read-color", "--layer", "1", "--x", "300", "--y", "200"}));
  EXPECT_EQ(read.out, R"({"layerId":1,"cursor":{"enable":1,"pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}})"
                      "\n")
      << read.err;

  const std::string build = (scratch.path() / "consumer").string();
  std::vector<std::string> configure{LCD_CMAKE_COMMAND, "-S", LCD_CONSUMER_SOURCE_DIR, "-B", build};
  configure.insert(configure.end(), {"-DCMAKE_PREFIX_PATH=" + prefix, "-DCMAKE_CXX_COMPILER=" LCD_CXX_COMPILER});
  configure.push_back("-DCMAKE_CXX_FLAGS=" LCD_CXX_FLAGS);
  if (!std::string(LCD_TOOLCHAIN_FILE).empty()) configure.push_back("-DCMAKE_TOOLCHAIN_FILE=" LCD_TOOLCHAIN_FILE);
  const ProcessResult configured = runProcess(configure);
  ASSERT_EQ(configured.exitCode, 0) << configured.out << configured.err;
  const ProcessResult compiled = runProcess({LCD_CMAKE_COMMAND, "--build", build});
  ASSERT_EQ(compiled.exitCode, 0) << compiled.out << compiled.err;
  // The host loads the plug-in, which must find the communicator beside itself.
  EXPECT_EQ(runProcess(onTarget({build + "/load_plugin"})).out,
            "layercutoutmodel 0.1.0 tavro.lcd.model.layer.cutout 0xfc050413 120 "
            R"({"layerId":2,"cursor":{"enable":0,"pos":{"x":0,"y":0}}})"
            "\n");
  EXPECT_EQ(runProcess(onTarget({build + "/configure_device"})).out, "http://192.0.2.1:8080 client\n");
}

}  // namespace
