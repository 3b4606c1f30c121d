// A command leaves nothing behind: the heap in use at its lowest stays where
// it was, thousands of commands later. The long run with its figures is a
// benchmark.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <limits>

#include "tests/stress/livesession.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's own allocator keeps the count; its header is not always installed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

constexpr int kWindow = 300;
// The heap in use climbs by tens of KiB over the first two thousand or so
// commands, as caches fill, and then levels off: only what comes after counts.
constexpr int kWarmUp = 3000;
constexpr int kBetween = 2400;
// Between the two windows a 24-byte leak (a 32-byte block) in just one of the
// three commands grows the heap by about 27 KiB. Blocks in flight on the
// simulator's threads come and go; the lowest sample of a window leaves them out.
constexpr long kMarginBytes = 8 * 1024;

long heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
  return static_cast<long>(mallinfo2().uordblks);
#endif
}

// Sends `count` commands, the three kinds in turn, from this one thread, and
// returns the lowest heap in use seen after each. The device's request log is
// emptied as it goes, so that only what the plug-in side keeps counts.
long lowestHeapOver(LiveSession& session, int count) {
  long lowest = std::numeric_limits<long>::max();
  for (int i = 0; i < count; ++i) {
    const Command& command = kCommands[i % 3];
    EXPECT_EQ(command.send(session.runtime()), command.success);
    session.device().clearRequests();
    lowest = std::min(lowest, heapInUse());
  }
  return lowest;
}

TEST(SteadyMemory, HeapStaysFlatOverThousandsOfCommands) {
  LiveSession session;
  lowestHeapOver(session, kWarmUp);
  const long before = lowestHeapOver(session, kWindow);
  lowestHeapOver(session, kBetween);
  EXPECT_LE(lowestHeapOver(session, kWindow) - before, kMarginBytes);
}

}  // namespace
