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

// Number of set bits, for processors with only SSE2, which may lack the
// population-count instruction.
inline unsigned CountBits64(uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<unsigned>((bits * 0x0101010101010101u) >> 56);
}

inline unsigned CountBits(uint32_t bits) {
  bits -= (bits >> 1) & 0x55555555u;
  bits = (bits & 0x33333333u) + ((bits >> 2) & 0x33333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0Fu;
  return (bits * 0x01010101u) >> 24;
}

}  // namespace vellum
