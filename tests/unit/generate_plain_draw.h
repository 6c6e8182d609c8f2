// An index drawn as plainly as it can be written, for the tests of the fast
// paths to compare with: the reference generator, a real 64-bit division
// and a redraw of the top outputs that are left over.
#pragma once

#include <cstdint>
#include <random>

namespace vellum::testing {

// The outputs per bucket, worked out another way than the product does:
// 2^32 div n. It equals (2^32 - 1) div n unless n divides 2^32, that is,
// unless n is a power of two, where it is one more.
inline uint64_t PlainBucket(uint32_t n) { return (uint64_t{1} << 32) / n; }

// An index from 0 to n - 1; adds the outputs it rejects to `rejected`.
inline uint32_t PlainDraw(std::mt19937& generator, uint32_t n, int& rejected) {
  if (n == 1) return 0;
  for (;;) {
    uint64_t index = generator() / PlainBucket(n);
    if (index < n) return static_cast<uint32_t>(index);
    ++rejected;
  }
}

}  // namespace vellum::testing
