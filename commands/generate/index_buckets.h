// Uniform indices into an alphabet, from RandomSource. An output is divided
// into n equal buckets from the top down, not reduced modulo n, so the index
// comes from the high bits of the output; the few top outputs that are left
// over are rejected and another one is drawn.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/generate/fixed_divisor.h"

namespace vellum {

// The longest alphabet drawn from: with at most 2^31 characters the bucket
// holds at least 2 outputs. Host strings are shorter than this anyway.
inline constexpr uint32_t kLongestAlphabet = uint32_t{1} << 31;

// The buckets of a draw from n characters, 2 <= n <= kLongestAlphabet.
class IndexBuckets {
 public:
  explicit IndexBuckets(uint32_t n);

  // The bucket an output falls in; the output is accepted as that index
  // when the bucket is at most last().
  uint32_t Of(uint32_t output) const { return size_.Divide(output); }
  uint32_t last() const { return last_; }

  // Writes the bucket of the output of each of `count` untempered generator
  // words (MersenneTwister::Ready) to `bucket`; returns whether any of them
  // is past last(), that is, whether any output is rejected.
  bool OfWords(const uint32_t* words, size_t count, uint32_t* bucket) const;

  // The outputs per bucket: (2^32 - 1) / n, plus 1 when n is a power of two
  // (then exactly 2^32 / n, and nothing is ever rejected).
  static uint32_t Size(uint32_t n);

 private:
  uint32_t last_;
  FixedDivisor size_;
};

}  // namespace vellum
