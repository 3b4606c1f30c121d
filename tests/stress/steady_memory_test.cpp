#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/plugin/pluginsession.h"
#include "tests/stress/probes.h"

namespace {

constexpr int kWarmUpCommands = 20000;
constexpr int kCommands = 100000;
constexpr int kRequestLogBound = 100;  // the simulator's request log is emptied this often
constexpr long kResidentMarginKb = 3072;
constexpr long kHeapMarginKb = 256;

constexpr bool underSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

long residentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

long heapInUseKb() { return static_cast<long>(mallinfo2().uordblks / 1024); }

struct Footprint {
  long residentKb;
  long heapKb;
};

// Measured with the simulator's request log empty, so that only what the
// plug-in, the host and the communicator keep is counted.
Footprint footprint(PluginSession& session) {
  session.device().clearRequests();
  return {residentKb(), heapInUseKb()};
}

// Sends `count` commands, the three kinds in turn, from this one thread: a
// single client thread keeps the allocator's per-thread arenas out of the
// figures. Returns how many did not end as they should.
int sendMixedCommands(PluginSession& session, int count) {
  const Stress::Probe* probes[] = {&Stress::kSetCutoutProbe, &Stress::kReadCursorProbe, &Stress::kAssessProbe};
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const Stress::Probe& probe = *probes[i % 3];
    if (probe.send(session.runtime()) != probe.success) ++failed;
    if (i % kRequestLogBound == 0) session.device().clearRequests();
  }
  return failed;
}

TEST(SteadyMemory, FootprintStaysFlatOverAHundredThousandCommands) {
  if (underSanitizer()) {
    GTEST_SKIP() << "skipped under a sanitizer: its shadow memory and quarantine make the resident set meaningless";
  }
#ifdef LCD_UNDER_EMULATOR
  GTEST_SKIP() << "skipped under an emulator: the resident set is the emulator's, and its code cache grows";
#endif
  PluginSession session;
  ASSERT_EQ(sendMixedCommands(session, kWarmUpCommands), 0);
  const Footprint before = footprint(session);
  ASSERT_EQ(sendMixedCommands(session, kCommands), 0);
  const Footprint after = footprint(session);
  std::printf("after %d warm-up commands: VmRSS %ld kB, heap in use %ld kB\n", kWarmUpCommands, before.residentKb,
              before.heapKb);
  std::printf("after %d more commands:   VmRSS %ld kB, heap in use %ld kB\n", kCommands, after.residentKb,
              after.heapKb);
  ASSERT_GT(before.residentKb, 0);
  EXPECT_LE(after.residentKb - before.residentKb, kResidentMarginKb);
  EXPECT_LE(after.heapKb - before.heapKb, kHeapMarginKb);
  expectNoLog(session.log());
}

}  // namespace
