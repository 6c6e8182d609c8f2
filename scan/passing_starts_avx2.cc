// The 32-byte version of the start collection. Everything after the target
// pragma is compiled for AVX2 and runs only where ChosenIsa() says so; the
// headers come before it so that no shared inline function is compiled
// for AVX2 and then taken by the linker for the SSE2 code. Every processor
// with AVX2 also has the population-count instruction.
#include <immintrin.h>

#include <cstdint>

#include "scan/passing_starts.h"
#include "scan/spread_bits.h"
#include "scan/sse2_blocks.h"

#if defined(__GNUC__)
#pragma GCC target("avx2,popcnt")
#endif

#include "scan/avx2_blocks.h"

namespace vellum {
namespace {

class Avx2Filter {
 public:
  explicit Avx2Filter(const StartFilter& filter)
      : text_(filter.text),
        inner_(filter.inner),
        span_(filter.span),
        middle_(filter.inner != 0),
        first_(_mm256_set1_epi8(filter.first)),
        second_(_mm256_set1_epi8(filter.second)),
        last_(_mm256_set1_epi8(filter.last)) {}

  // As in the SSE2 version: passing starts summed as -1 per byte lane,
  // and blocks tested first on the ends alone.
  __m256i CountBlock(size_t at) const {
    __m256i lanes = _mm256_setzero_si256();
    if (middle_) {
      for (size_t i = 0; i < 4; ++i) {
        lanes = _mm256_sub_epi8(
            lanes,
            _mm256_and_si256(Ends(at + i * kWide), Middle(at + i * kWide)));
      }
    } else {
      for (size_t i = 0; i < 4; ++i) {
        lanes = _mm256_sub_epi8(lanes, Ends(at + i * kWide));
      }
    }
    return _mm256_sad_epu8(lanes, _mm256_setzero_si256());
  }

  size_t Block(size_t at, size_t* out) const {
    __m256i p0 = Ends(at);
    __m256i p1 = Ends(at + kWide);
    __m256i p2 = Ends(at + 2 * kWide);
    __m256i p3 = Ends(at + 3 * kWide);
    __m256i any =
        _mm256_or_si256(_mm256_or_si256(p0, p1), _mm256_or_si256(p2, p3));
    if (_mm256_testz_si256(any, any)) return 0;
    if (middle_) {
      p0 = _mm256_and_si256(p0, Middle(at));
      p1 = _mm256_and_si256(p1, Middle(at + kWide));
      p2 = _mm256_and_si256(p2, Middle(at + 2 * kWide));
      p3 = _mm256_and_si256(p3, Middle(at + 3 * kWide));
    }
    uint64_t low = Bits(p0, p1);
    uint64_t high = Bits(p2, p3);
    return Spread(low, high, CountBitsWide(low) + CountBitsWide(high), at, out);
  }

 private:
  __m256i Ends(size_t at) const {
    return _mm256_and_si256(
        _mm256_cmpeq_epi8(LoadWideUnaligned(text_ + at), first_),
        _mm256_cmpeq_epi8(LoadWideUnaligned(text_ + at + span_), last_));
  }

  __m256i Middle(size_t at) const {
    return _mm256_cmpeq_epi8(LoadWideUnaligned(text_ + at + inner_), second_);
  }

  static uint64_t Bits(__m256i low, __m256i high) {
    return uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(low))} |
           uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(high))} << 32;
  }

  const char* text_;
  size_t inner_;
  size_t span_;
  bool middle_;
  __m256i first_;
  __m256i second_;
  __m256i last_;
};

}  // namespace

size_t CountPassingAvx2(const StartFilter& filter, size_t from) {
  const Avx2Filter blocks(filter);
  __m256i sums = _mm256_setzero_si256();  // four 64-bit counts
  size_t at = from;
  for (; at + kStartBlock - 1 <= filter.last_start; at += kStartBlock) {
    sums = _mm256_add_epi64(sums, blocks.CountBlock(at));
  }
  alignas(32) uint64_t lanes[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
  return static_cast<size_t>(lanes[0] + lanes[1] + lanes[2] + lanes[3]) +
         CountFewPassing(filter, at);
}

size_t CollectPassingAvx2(const StartFilter& filter, size_t* scan,
                          size_t enough, size_t* out) {
  const Avx2Filter blocks(filter);
  size_t at = *scan;
  size_t count = 0;
  for (; count < enough && at + kStartBlock - 1 <= filter.last_start;
       at += kStartBlock) {
    count += blocks.Block(at, out + count);
  }
  if (count < enough && at <= filter.last_start) {
    count += CollectFewPassing(filter, at, out + count);
    at = filter.last_start + 1;
  }
  *scan = at;
  return count;
}

}  // namespace vellum
