// Positions of set bits in the masks that the vector scans make, one bit
// per byte or per start.
#pragma once

#include <cstdint>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace vellum {

// Index of the lowest and of the highest set bit of a non-zero mask.
#if defined(_MSC_VER)
inline unsigned LowestBit(uint32_t bits) {
  unsigned long index;
  _BitScanForward(&index, bits);
  return index;
}
inline unsigned HighestBit(uint32_t bits) {
  unsigned long index;
  _BitScanReverse(&index, bits);
  return index;
}
#else
inline unsigned LowestBit(uint32_t bits) { return __builtin_ctz(bits); }
inline unsigned HighestBit(uint32_t bits) { return 31 - __builtin_clz(bits); }
#endif

// The same for a 64-bit mask. A 32-bit build would call a library routine
// for the 64-bit builtin, so there it takes the two halves in turn.
inline unsigned LowestBit64(uint64_t bits) {
#if defined(__GNUC__) && defined(__x86_64__)
  return static_cast<unsigned>(__builtin_ctzll(bits));
#else
  uint32_t low = static_cast<uint32_t>(bits);
  return low != 0 ? LowestBit(low)
                  : 32 + LowestBit(static_cast<uint32_t>(bits >> 32));
#endif
}

}  // namespace vellum
