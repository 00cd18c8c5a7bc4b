// The busy wait with a counting dispatcher, the tick count, and local memory.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/memory.h"
#include "platform/pump.h"
#include "text/text.h"

namespace {

int gDispatches = 0;
int CountingDispatcher() {
  ++gDispatches;
  return 1;
}

// Plugs the counting dispatcher in for one test and takes it out again.
class DelayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gDispatches = 0;
    SetMessageDispatcher(&CountingDispatcher);
  }
  void TearDown() override { SetMessageDispatcher(nullptr); }
};

TEST_F(DelayTest, NothingHappensForZeroOrLess) {
  DelayWithEvents(0);
  DelayWithEvents(-5);
  DelayWithEvents(INT32_MIN);
  EXPECT_EQ(gDispatches, 0);
}

TEST_F(DelayTest, DispatchesWhileWaitingAndReturnsAfterTheDeadline) {
  DWORD before = GetTickCount();
  DelayWithEvents(30);
  DWORD waited = GetTickCount() - before;
  EXPECT_GE(waited, 30u);
  EXPECT_LT(waited, 2000u);
  EXPECT_GE(gDispatches, 2);
  EXPECT_EQ(gDispatches % 2, 0);  // messages are always dispatched twice in a row
}

TEST(Pump, DispatchingWithoutADispatcherDoesNothing) {
  SetMessageDispatcher(nullptr);
  EXPECT_EQ(DispatchPendingMessages(), 0);
  SetMessageDispatcher([] { return 3; });
  EXPECT_EQ(DispatchPendingMessages(), 3);
  SetMessageDispatcher(nullptr);
}

TEST(Pump, TickCountMovesForwardInMilliseconds) {
  DWORD first = GetTickCount();
  DWORD now = first;
  while (now - first < 5) now = GetTickCount();  // bounded: the clock is monotonic
  EXPECT_LT(now - first, 1000u);
}

TEST(Memory, LocalAllocZeroFillsAndAlwaysGivesABlock) {
  auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0) << i;
  EXPECT_EQ(LocalFree(block), nullptr);
  void* empty = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(LocalFree(empty), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(Memory, RtlMoveMemoryHandlesOverlap) {
  char buffer[] = "abcdef";
  RtlMoveMemory(buffer + 2, buffer, 4);
  EXPECT_STREQ(buffer, "ababcd");
  RtlMoveMemory(buffer, buffer + 1, 5);
  EXPECT_STREQ(buffer, "babcdd");
  RtlMoveMemory(nullptr, nullptr, 0);
}

}  // namespace
