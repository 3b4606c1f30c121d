#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "communicator/devicesettings.h"
#include "layercutout/httplogin.h"
#include "proto/constants.h"
#include "scripteddevice.h"
#include "tools/clierror.h"
#include "tools/devicetarget.h"

namespace {
thread_local std::size_t starveFrom = SIZE_MAX;  // allocations this large fail on this thread
}  // namespace

// Kept out of line: inlined, the compiler would pair malloc with delete and free with new.
[[gnu::noinline]] void* operator new(std::size_t size) {
  void* block = size < starveFrom ? std::malloc(size == 0 ? 1 : size) : nullptr;
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

namespace Constants = LCD::Proto::Constants;
using nlohmann::json;

constexpr long kTimeoutMs = 800;
// Peak resident memory of a host process, in KiB; a sanitizer's shadow and
// quarantine are several times the memory they watch.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr long kPeakKiB = 256 << 10;
#else
constexpr long kPeakKiB = 64 << 10;
#endif
constexpr char kNoNamespace[] = "no network namespace";

// A cursor command with `token`, as the plug-in sends it; whether it was answered.
bool sent(const std::string& token) {
  return sendRequest(Constants::HTTPPUTREQUEST, Constants::PUTLAYERSCUTOUTCURSOR, "{}",
                     {{"Content-Type", Constants::CONTENTTYPE}, {"Authorization", token}}) > 0;
}

// A network of this process's own with no way out, whose name server is a
// loopback socket that never answers.
bool enterSilentNetwork() {
  char conf[] = "/tmp/resolvconfXXXXXX";
  const int file = mkstemp(conf);
  const std::string text = "nameserver 127.0.0.1\noptions timeout:3 attempts:1\n";
  const bool entered = write(file, text.data(), text.size()) > 0 && unshare(CLONE_NEWNET | CLONE_NEWNS) == 0 &&
                       mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                       mount(conf, "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0;
  unlink(conf);
  if (!entered) return false;
  ifreq loopback{};
  std::strcpy(loopback.ifr_name, "lo");
  loopback.ifr_flags = IFF_UP;
  sockaddr_in address{AF_INET, htons(53), {htonl(INADDR_LOOPBACK)}, {}};
  const int nameServer = socket(AF_INET, SOCK_DGRAM, 0);
  return ioctl(nameServer, SIOCSIFFLAGS, &loopback) == 0 &&
         bind(nameServer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// Every sender logs in and sends a command, then another. The outcome: the
// token; lcd-host's message for the command, or "answered"; the next command
// on the same thread (or lcd-host's refusal of the device URL); the logins the
// device saw. DEVICE stands for the scripted device's address.
std::string play(const json& c) {
  const std::string condition = c.value("condition", "");
  if (condition == "silent name server" && !enterSilentNetwork()) return kNoNamespace;
  ScriptedDevice device({{Constants::POSTLOGIN, c.value("login", json::object())},
                         {Constants::PUTLAYERSCUTOUTCURSOR, c.value("command", json::object())}});
  std::vector<std::string> seen(condition == "eight senders" ? 8 : 1);
  try {
    const std::string url = replaced(c.value("url", "http://DEVICE"), "DEVICE", device.address());
    const LCD::Tools::DeviceTarget target({url, {}, {}, kTimeoutMs});
    std::vector<std::thread> senders;
    for (std::string& outcome : seen) {
      senders.emplace_back([&condition, &target, &outcome] {
        const auto start = std::chrono::steady_clock::now();
        const std::string token = HttpLogin::getInstance()->getToken();
        starveFrom = condition == "scarce memory" ? 256 << 10 : SIZE_MAX;
        outcome = token + " | " + (sent(token) ? "answered" : target.silence());
        starveFrom = SIZE_MAX;
        const bool slow =
            std::chrono::steady_clock::now() - start > std::chrono::milliseconds(2 * kTimeoutMs * 11 / 10);
        outcome += slow ? " | slower than a login and a command may be" : "";
        if (condition == "new settings")
          LCD::Communicator::configureDevice({LCD::Communicator::deviceSettings().url, "admin", "new", kTimeoutMs});
        outcome += sent(HttpLogin::getInstance()->getToken()) ? " | answered" : " | no answer";
      });
    }
    for (auto& sender : senders) sender.join();
  } catch (const LCD::Tools::CliError& error) {
    seen.front() = error.what();
  }
  std::string outcomes = seen.front();
  for (const std::string& other : seen) {
    if (other != seen.front()) outcomes += " / " + other;
  }
  const auto requests = device.requests();
  const auto logins = std::count_if(requests.begin(), requests.end(),
                                    [](const std::string& r) { return r.find(Constants::POSTLOGIN) == 5; });
  return replaced(outcomes, device.address(), "DEVICE") + " | logins " + std::to_string(logins);
}

// Each case runs in a host process of its own, whose peak memory is measured.
TEST(HostileDeviceTest, HostStaysSmallAndTimelyAndRecovers) {
  std::string skipped;
  for (const json& c : caseTable("hostileDevices")) {
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
      const std::string outcome = play(c);
      _exit(write(channel[1], outcome.data(), outcome.size()) < 0);
    }
    close(channel[1]);
    char text[512];  // one write of less than a pipe's atomic size
    const std::string outcome(text, std::max<ssize_t>(read(channel[0], text, sizeof text), 0));
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (outcome == kNoNamespace) {
      skipped += c["fault"].get<std::string>() + ": no network namespace can be made here. ";
    } else {
      EXPECT_EQ(outcome, c["outcome"]) << c["fault"] << ", wait status " << status;
      EXPECT_LT(usage.ru_maxrss, kPeakKiB) << c["fault"];
    }
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

}  // namespace
