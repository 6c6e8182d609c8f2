// Division of 32-bit values by a divisor that stays the same for many of
// them, done as a multiplication (Granlund and Montgomery, "Division by
// invariant integers using multiplication", 1994, figure 4.1): with
// l = ceil(log2 d) and m = floor(2^32 * (2^l - d) / d) + 1, which always
// fits in 32 bits, and t the high half of m * x,
//   x / d = (t + (x - t) / 2) >> (l - 1)
// for every 32-bit x and every d of 2 or more. The halving keeps the sum
// within 32 bits, where the true multiplier 2^32 + m would need 33. One
// 32 x 32 -> 64 multiply replaces a division of tens of cycles, and the
// same steps run on four lanes at once with SSE2, whose only such multiply
// (pmuludq) takes lanes 0 and 2.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace vellum {

class FixedDivisor {
 public:
  // `divisor` is 2 or more: for 1 the shift would be -1.
  explicit FixedDivisor(uint32_t divisor) {
    uint32_t log = 1;  // ceil(log2 divisor)
    while ((uint64_t{1} << log) < divisor) ++log;
    multiplier_ = static_cast<uint32_t>(
        ((uint64_t{1} << log) - divisor) * (uint64_t{1} << 32) / divisor + 1);
    shift_ = log - 1;
  }

  // x / divisor, rounded down.
  uint32_t Divide(uint32_t x) const {
    auto high = static_cast<uint32_t>(uint64_t{multiplier_} * x >> 32);
    return (high + ((x - high) >> 1)) >> shift_;
  }

  // The same divisor set up for four 32-bit lanes; build it once, outside
  // the loop that divides.
  class Lanes {
   public:
    explicit Lanes(const FixedDivisor& divisor)
        : multiplier_(_mm_set1_epi32(static_cast<int>(divisor.multiplier_))),
          shift_(_mm_cvtsi32_si128(static_cast<int>(divisor.shift_))) {}

    // Each lane of x divided by the divisor, rounded down.
    __m128i Divide(__m128i x) const {
      // pmuludq multiplies lanes 0 and 2; lanes 1 and 3 are moved down for
      // a second one. The high halves of the four products are gathered
      // with shuffles, which leave the shift units to the rest.
      __m128 even = _mm_castsi128_ps(_mm_mul_epu32(x, multiplier_));
      __m128 odd = _mm_castsi128_ps(_mm_mul_epu32(
          _mm_shuffle_epi32(x, _MM_SHUFFLE(3, 3, 1, 1)), multiplier_));
      __m128i high_0213 =
          _mm_castps_si128(_mm_shuffle_ps(even, odd, _MM_SHUFFLE(3, 1, 3, 1)));
      __m128i high = _mm_shuffle_epi32(high_0213, _MM_SHUFFLE(3, 1, 2, 0));
      __m128i half = _mm_srli_epi32(_mm_sub_epi32(x, high), 1);
      return _mm_srl_epi32(_mm_add_epi32(high, half), shift_);
    }

   private:
    __m128i multiplier_;
    __m128i shift_;  // in the low 64 bits, as psrld takes it
  };

 private:
  uint32_t multiplier_;  // m
  uint32_t shift_;       // l - 1
};

}  // namespace vellum
