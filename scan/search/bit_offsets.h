// Turning a block's mask of passing starts into their offsets, shared by
// the SSE2 and AVX2 collections. Plain scalar code, compiled once for every
// processor: the AVX2 files include it above their target region.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/bits.h"

namespace vellum {

// Writes `base + i` for each set bit i of the 128-bit mask high:low, of
// which `count` are set, lowest first, to `out` and returns `count`. The lowest
// two are written whether or not they exist, the count telling which are real:
// ordinary text has at most two passing starts in a block, and a branch on how
// many would be mispredicted about once per match.
inline size_t StoreBitOffsets(uint64_t low, uint64_t high, size_t count,
                              size_t base, size_t* out) {
  constexpr uint64_t kStop = uint64_t{1} << 63;  // keeps the scan defined
  // The lowest two: the first from whichever half has a bit, the second
  // from what is left of that half or else from the high half.
  bool low_empty = low == 0;
  uint64_t bits = low_empty ? high : low;
  size_t at = low_empty ? base + 64 : base;
  out[0] = at + LowestBit64(bits | kStop);
  bits &= bits - 1;
  bool low_spent = bits == 0 && !low_empty;
  out[1] = (low_spent ? base + 64 : at) +
           LowestBit64((low_spent ? high : bits) | kStop);
  if (count > 2) {  // dense: all of them, one at a time
    size_t i = 0;
    for (; low != 0; low &= low - 1) out[i++] = base + LowestBit64(low);
    for (; high != 0; high &= high - 1) {
      out[i++] = base + 64 + LowestBit64(high);
    }
  }
  return count;
}

}  // namespace vellum
