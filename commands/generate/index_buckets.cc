#include "commands/generate/index_buckets.h"

#include <emmintrin.h>

#include "commands/generate/random_source.h"

namespace vellum {

uint32_t IndexBuckets::Size(uint32_t n) {
  constexpr uint32_t kSpan = UINT32_MAX;
  uint32_t size = kSpan / n;
  if (kSpan % n == n - 1) ++size;
  return size;
}

IndexBuckets::IndexBuckets(uint32_t n) : last_(n - 1), size_(Size(n)) {}

// Four words at a time; the last few one by one. Buckets stay below 2^31 (a
// bucket holds 2 outputs or more), so the signed lane compare orders them
// correctly.
bool IndexBuckets::OfWords(const uint32_t* words, size_t count,
                           uint32_t* bucket) const {
  const FixedDivisor::Lanes size_lanes(size_);
  const __m128i last_lanes = _mm_set1_epi32(static_cast<int>(last_));
  __m128i rejected_lanes = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i four = size_lanes.Divide(MersenneTwister::Temper(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i))));
    rejected_lanes =
        _mm_or_si128(rejected_lanes, _mm_cmpgt_epi32(four, last_lanes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bucket + i), four);
  }
  bool rejected = _mm_movemask_epi8(rejected_lanes) != 0;
  for (; i < count; ++i) {
    bucket[i] = Of(MersenneTwister::Temper(words[i]));
    rejected |= bucket[i] > last_;
  }
  return rejected;
}

}  // namespace vellum
