#include "scan/string_compare.h"

#include "scan/cpu_features.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::kBlock;

int CompareAt(const char* first, const char* second) {
  return SignedOrder(*first, *second);
}

// Zero in each byte where the strings differ or `first` has its terminator
// (equal bytes give 0xFF, and the minimum with the byte itself is then 0
// only for the terminator).
__m128i Stops(const char* first, const char* second) {
  __m128i a = sse2::LoadUnaligned(first);
  __m128i b = sse2::LoadUnaligned(second);
  return _mm_min_epu8(_mm_cmpeq_epi8(a, b), a);
}

bool FitsInPage(const char* p, size_t bytes) {
  return sse2::PageOffset(p) <= sse2::kPageSize - bytes;
}

// Unaligned loads, taken only where neither block reaches past the end of
// the page that holds its first byte: that byte belongs to a string still
// being compared, so the page is the string's. Near a page end the walk
// takes single blocks, then single bytes, until both strings are past it;
// then the wide rounds, if any, take over again.
template <bool kWide>
VELLUM_READS_WHOLE_BLOCKS int CompareFrom(const char* first,
                                          const char* second) {
  for (;;) {
    if constexpr (kWide) {
      size_t equal = EqualRoundsAvx2(first, second);
      first += equal;
      second += equal;
    }
    if (FitsInPage(first, 4 * kBlock) && FitsInPage(second, 4 * kBlock)) {
      __m128i a = Stops(first, second);
      __m128i b = Stops(first + kBlock, second + kBlock);
      __m128i c = Stops(first + 2 * kBlock, second + 2 * kBlock);
      __m128i d = Stops(first + 3 * kBlock, second + 3 * kBlock);
      if (sse2::ZeroBytes(
              _mm_min_epu8(_mm_min_epu8(a, b), _mm_min_epu8(c, d))) == 0) {
        first += 4 * kBlock;
        second += 4 * kBlock;
        continue;
      }
    }
    if (FitsInPage(first, kBlock) && FitsInPage(second, kBlock)) {
      unsigned stops = sse2::ZeroBytes(Stops(first, second));
      if (stops != 0) {
        unsigned at = LowestBit(stops);
        return CompareAt(first + at, second + at);
      }
      first += kBlock;
      second += kBlock;
      continue;
    }
    if (*first != *second || *first == '\0') return CompareAt(first, second);
    ++first;
    ++second;
  }
}

}  // namespace

VELLUM_NOINLINE int CompareSignedBytesSse2(const char* first,
                                           const char* second) {
  return CompareFrom<false>(first, second);
}

#if VELLUM_MAX_ISA_LEVEL >= 2
int CompareSignedBytesAvx2(const char* first, const char* second) {
  return CompareFrom<true>(first, second);
}
#endif

int CompareLongSignedBytes(const char* first, const char* second) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return CompareSignedBytesAvx2(first, second);
  }
  return CompareSignedBytesSse2(first, second);
}

}  // namespace vellum
