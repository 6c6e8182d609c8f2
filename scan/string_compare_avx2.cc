// The 128-byte rounds of the string comparison.
#include <immintrin.h>

#include "scan/sse2_blocks.h"
#include "scan/string_compare.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt")

namespace vellum {
namespace {

constexpr size_t kRound = 128;

// Zero in each byte where the strings differ or `first` has its terminator.
VELLUM_READS_WHOLE_BLOCKS __m256i Stops(const char* first, const char* second) {
  __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first));
  __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second));
  return _mm256_min_epu8(_mm256_cmpeq_epi8(a, b), a);
}

bool RoundFits(const char* p) {
  return sse2::PageOffset(p) <= sse2::kPageSize - kRound;
}

}  // namespace

VELLUM_READS_WHOLE_BLOCKS size_t EqualRoundsAvx2(const char* first,
                                                 const char* second) {
  size_t equal = 0;
  while (RoundFits(first + equal) && RoundFits(second + equal)) {
    const char* a = first + equal;
    const char* b = second + equal;
    __m256i stops = _mm256_min_epu8(
        _mm256_min_epu8(Stops(a, b), Stops(a + 32, b + 32)),
        _mm256_min_epu8(Stops(a + 64, b + 64), Stops(a + 96, b + 96)));
    if (_mm256_movemask_epi8(
            _mm256_cmpeq_epi8(stops, _mm256_setzero_si256())) != 0) {
      break;
    }
    equal += kRound;
  }
  return equal;
}

}  // namespace vellum

VELLUM_UNTARGET_REGION
