// The emulator's work runs on a stack of the host's size: deep enough for a
// megabyte of frames, and no deeper than the host's, so that what would
// overflow in the host overflows here.
#include <gtest/gtest.h>

#include "emulator/host_stack.h"

namespace emulator {
namespace {

// Uses about a kilobyte of stack per level; the call is not a tail call, so
// no compiler can turn it into a loop.
int Descend(int levels) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(levels);
  frame[sizeof frame - 1] = 1;
  if (levels == 0) return 0;
  return Descend(levels - 1) + frame[0] - static_cast<char>(levels) +
         frame[sizeof frame - 1];
}

TEST(HostStack, HoldsAMegabyteOfFrames) {
  EXPECT_EQ(RunOnHostStack([] { return Descend(1024); }), 1024);
}

TEST(HostStackDeathTest, OverflowsBeyondTheHostsSize) {
  EXPECT_DEATH(RunOnHostStack([] { return Descend(4096); }), "");
}

}  // namespace
}  // namespace emulator
