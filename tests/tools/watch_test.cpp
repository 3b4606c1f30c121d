#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
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

  // Its exit code; -1 when it did not exit normally, or not within 20 s (it is killed then).
  int exitCode() {
    int status = 0;
    pid_t exited = 0;
    for (int wait = 0; wait < 2000 && (exited = waitpid(pid_, &status, WNOHANG)) == 0; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (exited != pid_) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void signal(int number) const { kill(pid_, number); }

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

// The watch prints each event as it comes, up to its count; after the device restarts it resyncs, says so on
// standard error and prints every layer's cutout, the one set before the restart back at its defaults.
TEST(LcdHostWatch, PrintsEachEventAsItComesAndResyncsWithADeviceThatRestarted) {
  const ScratchDir io;
  auto device = std::make_unique<Background>(std::vector<std::string>{LCD_DEVICESIM_PATH, "--port", "0"}, io, "device");
  const std::string banner = device->awaitText("out", "\n");
  const std::string url = banner.substr(banner.find("http"), banner.find('\n') - banner.find("http"));
  Background watch({LCD_HOST_PATH, "--device", url, "watch", "--count", "3"}, io, "watch");
  ASSERT_NE(watch.awaitText("err", "watching").find("watching"), std::string::npos);
  EXPECT_EQ(runLcdHost({"--device", url, "set-cutout", "-"}, R"([{"layerId":5,"cutout":{"enable":1}}])").exitCode, 0);
  EXPECT_EQ(
      watch.awaitText("out", "\n").rfind(R"({"event":"0xfc08040e","data":[{"layerId":5,"cutout":{"enable":1,)", 0),
      0u);  // while the watch goes on
  EXPECT_EQ(runLcdHost({"--device", url, "read-color", "--layer", "2", "--x", "300", "--y", "200"}).exitCode, 0);
  const std::string cursor = R"({"event":"0xfc08040f","data":{"layerId":2,"cursor":{"enable":1,)"
                             R"("pos":{"x":300,"y":200},"color":{"R":255,"G":255,"B":0}}}})"
                             "\n";
  EXPECT_NE(watch.awaitText("out", cursor).find("\n" + cursor), std::string::npos);
  device.reset();
  Background again({LCD_DEVICESIM_PATH, "--port", url.substr(url.rfind(':') + 1)}, io, "again");
  EXPECT_EQ(watch.exitCode(), 0);
  EXPECT_NE(io.read("watch.err").find("\nlcd-host: resynced: the device's whole state (16 layers)"), std::string::npos);
  const std::string out = io.read("watch.out");
  const std::size_t resync = out.find(cursor) + cursor.size();
  EXPECT_NE(out.find(R"("layerId":5,"cutout":{"enable":0,)", resync), std::string::npos);
}

// However it ends, by time or by signal, a watch exits 0.
struct Ending {
  const char* name;
  std::vector<std::string> argv;
  int signal;
};

class WatchEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(WatchEnding, ExitsZero) {
  const ScratchDir io;
  Background watch(GetParam().argv, io, "watch");
  ASSERT_NE(watch.awaitText("err", "watching").find("watching"), std::string::npos);
  if (GetParam().signal != 0) watch.signal(GetParam().signal);
  EXPECT_EQ(watch.exitCode(), 0);
}

const Ending kEndings[] = {{"AfterItsSeconds", {LCD_HOST_PATH, "watch", "--seconds", "0.1"}, 0},
                           {"AtSigint", {LCD_HOST_PATH, "watch"}, SIGINT},
                           {"AtSigterm", {LCD_HOST_PATH, "watch"}, SIGTERM}};
INSTANTIATE_TEST_SUITE_P(Ends, WatchEnding, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
