// Division of 32-bit values by a divisor that stays the same for many of
// them, done as a multiplication: with m = ceil(2^64 / d), the high 64 bits
// of x * m are exactly x / d for every 32-bit x and every d of 2 or more
// (Lemire, Kaser and Kurz, "Faster remainder by direct computation", 2019).
// A division costs tens of cycles; the product, two.
#pragma once

#include <cstdint>

namespace vellum {

class FixedDivisor {
 public:
  // `divisor` is 2 or more: for 1 the multiplier would be 2^64.
  explicit FixedDivisor(uint32_t divisor)
      : low_(static_cast<uint32_t>(UINT64_MAX / divisor + 1)),
        high_(static_cast<uint32_t>((UINT64_MAX / divisor + 1) >> 32)) {}

  // x / divisor, rounded down.
  uint32_t Divide(uint32_t x) const {
    // The top of the 96-bit product x * m from two 32 x 32 -> 64 products,
    // which a 32-bit target has as single instructions. The sum cannot
    // carry out: it is below (2^32 - 1)^2 + 2^32.
    uint64_t low = static_cast<uint64_t>(low_) * x;
    uint64_t high = static_cast<uint64_t>(high_) * x;
    return static_cast<uint32_t>((high + (low >> 32)) >> 32);
  }

 private:
  uint32_t low_;   // the multiplier m, low half
  uint32_t high_;  // and high half
};

}  // namespace vellum
