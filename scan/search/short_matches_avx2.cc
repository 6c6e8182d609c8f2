// The 32-byte chunk tests of the short-pattern pass.
#include <emmintrin.h>
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/avx2_blocks.h"
#include "scan/bits.h"
#include "scan/search/bit_offsets.h"
#include "scan/search/short_matches.h"
#include "scan/sse2_blocks.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt")

#include "scan/search/short_match_walk.h"

namespace vellum {
namespace {

uint64_t Bits(__m256i low, __m256i high) {
  return uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(low))} |
         uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(high))} << 32;
}

class Avx2Chunk {
 public:
  explicit Avx2Chunk(std::string_view pattern)
      : inner_(pattern.size() == 3 ? 1 : 0),
        span_(pattern.size() - 1),
        first_(_mm256_set1_epi8(pattern[0])),
        second_(_mm256_set1_epi8(pattern[inner_])),
        last_(_mm256_set1_epi8(pattern[span_])) {}

  // Whether the `size` bytes from `at`, 64 or 128, hold a NUL.
  bool HasZero(const char* at, size_t size) const {
    __m256i least = _mm256_min_epu8(LoadWide(at), LoadWide(at + kWide));
    if (size > 2 * kWide) {
      least = _mm256_min_epu8(least, _mm256_min_epu8(LoadWide(at + 2 * kWide),
                                                     LoadWide(at + 3 * kWide)));
    }
    __m256i zeros = _mm256_cmpeq_epi8(least, _mm256_setzero_si256());
    return !_mm256_testz_si256(zeros, zeros);
  }

  uint64_t Zeros(const char* at) const {
    const __m256i zero = _mm256_setzero_si256();
    return Bits(_mm256_cmpeq_epi8(LoadWide(at), zero),
                _mm256_cmpeq_epi8(LoadWide(at + kWide), zero));
  }

  uint64_t Starts(const char* at) const {
    return Bits(Hits(at), Hits(at + kWide));
  }

  static size_t Count(uint64_t bits) { return CountBitsWide(bits); }

 private:
  __m256i Hits(const char* p) const {
    return _mm256_and_si256(
        _mm256_and_si256(
            _mm256_cmpeq_epi8(LoadWideUnaligned(p), first_),
            _mm256_cmpeq_epi8(LoadWideUnaligned(p + inner_), second_)),
        _mm256_cmpeq_epi8(LoadWideUnaligned(p + span_), last_));
  }

  size_t inner_;
  size_t span_;
  __m256i first_;
  __m256i second_;
  __m256i last_;
};

}  // namespace

ShortMatches ScanShortMatchesAvx2(const char* text, std::string_view pattern,
                                  size_t* out, size_t capacity) {
  return WalkShortMatches(Avx2Chunk(pattern), text, pattern.size(), out,
                          capacity);
}

}  // namespace vellum

VELLUM_UNTARGET_REGION
