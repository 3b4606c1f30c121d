#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/processrun.h"

// lcd-host watch beside other processes: a device simulator of its own and
// other lcd-hosts that change the device.
namespace {

// A program in the background, ended when the test is done with it.
class Background {
 public:
  Background(const std::vector<std::string>& argv, const ScratchDir& io, std::string name)
      : io_(io), name_(std::move(name)), pid_(startProcess(onTarget(argv), io, name_)) {}
  ~Background() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitForExit(pid_);
    }
  }

  int exitCode() { return waitForExit(std::exchange(pid_, 0)); }

  // What it has written to `stream` ("out" or "err") once `text` shows there, or after 20 s.
  std::string awaitText(const std::string& stream, const std::string& text) const {
    std::string written;
    for (int wait = 0; wait < 2000 && written.find(text) == std::string::npos; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(wait == 0 ? 0 : 10));
      written = io_.read(name_ + "." + stream);
    }
    return written;
  }

 private:
  const ScratchDir& io_;
  std::string name_;
  pid_t pid_;
};

TEST(LcdHostWatch, PrintsEachEventOfThePluginAsItComesOnceTheDeviceAnswers) {
  const ScratchDir io;
  Background device({LCD_DEVICESIM_PATH, "--port", "0"}, io, "device");
  const std::string banner = device.awaitText("out", "\n");
  const std::string url = banner.substr(banner.find("http"), banner.find('\n') - banner.find("http"));
  Background watch({LCD_HOST_PATH, "--device", url, "watch", "--count", "2", "--seconds", "20"}, io, "watch");
  ASSERT_NE(watch.awaitText("err", "watching").find("watching"), std::string::npos);

  EXPECT_EQ(runLcdHost({"--device", url, "set-cutout", "-"}, R"([{"layerId":5}])").exitCode, 0);
  EXPECT_EQ(
      watch.awaitText("out", "\n").rfind(R"({"event":"0xfc08040e","data":[{"layerId":5,"cutout":{"enable":0,)", 0),
      0u);  // while the watch goes on
  EXPECT_EQ(runLcdHost({"--device", url, "read-color", "--layer", "2", "--x", "300", "--y", "200"}).exitCode, 0);
  EXPECT_EQ(runLcdHost({"--device", url, "set-cutout", "-"}, R"([{"layerId":6}])").exitCode, 0);  // past the count
  EXPECT_EQ(watch.exitCode(), 0);
  const std::string out = io.read("watch.out");
  EXPECT_EQ(out.substr(out.find('\n') + 1), R"({"event":"0xfc08040f","data":{"layerId":2,"cursor":{"enable":1,)"
                                            R"("pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}}})"
                                            "\n");
}

}  // namespace
