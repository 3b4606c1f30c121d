// A command leaves nothing behind: after a warm-up, the heap in use stays flat
// over thousands more. The long run with its figures is a benchmark.
#include <gtest/gtest.h>
#include <malloc.h>

#include "tests/stress/livesession.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/allocator_interface.h>
#endif

namespace {

constexpr int kWarmUp = 300;
constexpr int kMeasured = 1500;
// A leak of 24 bytes (a 32-byte block) in just one of the three commands
// grows the heap by 16 KiB over the run; without one it stays within a few
// hundred bytes.
constexpr long kMarginBytes = 8 * 1024;

long heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
  return static_cast<long>(mallinfo2().uordblks);
#endif
}

// The three kinds in turn from this one thread; the device's request log is
// emptied as it goes, so that only what the plug-in side keeps counts.
void sendCommands(LiveSession& session, int count) {
  for (int i = 0; i < count; ++i) {
    const Command& command = kCommands[i % 3];
    ASSERT_EQ(command.send(session.runtime()), command.success);
    if (i % 100 == 0) session.device().clearRequests();
  }
  session.device().clearRequests();
}

TEST(SteadyMemory, HeapStaysFlatOverThousandsOfCommands) {
  LiveSession session;
  sendCommands(session, kWarmUp);
  const long before = heapInUse();
  sendCommands(session, kMeasured);
  EXPECT_LE(heapInUse() - before, kMarginBytes);
}

}  // namespace
