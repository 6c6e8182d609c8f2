#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "commands/generate/draw_index.h"
#include "commands/generate/fixed_divisor.h"
#include "commands/generate/random_source.h"

namespace vellum {
namespace {

// Every alphabet size up to 256, and past it where something changes:
// powers of two and their neighbours, the top of the range, and sizes that
// reject often.
std::vector<uint32_t> AlphabetSizes() {
  std::vector<uint32_t> sizes;
  for (uint32_t n = 1; n <= 256; ++n) sizes.push_back(n);
  for (uint32_t n : {1000u, 65535u, 65536u, 65537u, 16777217u, 1000000007u,
                     1500000000u, 1610612737u, 2147483647u, 2147483648u}) {
    sizes.push_back(n);
  }
  return sizes;
}

std::vector<uint32_t> Divisors() {
  std::vector<uint32_t> divisors;
  for (uint32_t n : AlphabetSizes()) {
    if (n > 1) divisors.push_back(IndexBuckets::Size(n));
  }
  for (uint32_t d : {2u, 3u, 7u, 641u, 6700417u, 65535u, 65536u, 65537u,
                     0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFEu,
                     0xFFFFFFFFu}) {
    divisors.push_back(d);
  }
  return divisors;
}

TEST(GenerateDrawIndexTest, FixedDivisorDividesExactly) {
  std::mt19937 random(4242);
  for (uint32_t d : Divisors()) {
    const FixedDivisor divisor(d);
    std::vector<uint32_t> xs = {0, 1, d - 1, d, UINT32_MAX, UINT32_MAX - 1};
    // Both sides of multiples of d, where a quotient that is one off shows.
    uint32_t top = UINT32_MAX / d;
    for (uint32_t q : {1u, 2u, 3u, top / 2, top - 1, top}) {
      uint64_t multiple = uint64_t{q} * d;
      if (q == 0 || multiple > UINT32_MAX) continue;
      xs.push_back(static_cast<uint32_t>(multiple));
      xs.push_back(static_cast<uint32_t>(multiple - 1));
      if (multiple < UINT32_MAX) {
        xs.push_back(static_cast<uint32_t>(multiple + 1));
      }
    }
    for (int i = 0; i < 2000; ++i) xs.push_back(random());
    for (uint32_t x : xs) {
      ASSERT_EQ(divisor.Divide(x), x / d) << x << " / " << d;
    }
  }
}

TEST(GenerateDrawIndexTest, BucketSizes) {
  EXPECT_EQ(IndexBuckets::Size(62), 69273666u);
  EXPECT_EQ(IndexBuckets::Size(256), 0x01000000u);  // a power of two: exact
  EXPECT_EQ(IndexBuckets::Size(kLongestAlphabet), 2u);
}

// A plain reading of the draw with the reference generator and a real
// division; counts the outputs it rejects.
uint32_t ReferenceDraw(std::mt19937& generator, uint32_t n, int& rejected) {
  if (n == 1) return 0;
  uint64_t bucket = UINT32_MAX / n;
  if (UINT32_MAX % n == n - 1) ++bucket;
  for (;;) {
    uint64_t index = generator() / bucket;
    if (index < n) return static_cast<uint32_t>(index);
    ++rejected;
  }
}

// Same indices and the same outputs used up: rejections (about 30% of
// outputs for n = 1500000000, none for powers of two) are drawn again, and a
// one-character alphabet draws nothing.
TEST(GenerateDrawIndexTest, MatchesAPlainDivisionDraw) {
  int rejected = 0;
  for (uint32_t n : AlphabetSizes()) {
    SeedRandomSource(n);
    std::mt19937 reference(n);
    for (int i = 0; i < 700; ++i) {
      ASSERT_EQ(DrawIndex(n), ReferenceDraw(reference, n, rejected))
          << "n " << n;
    }
    ASSERT_EQ(RandomSource().Next(), reference()) << "n " << n;
  }
  EXPECT_GT(rejected, 200);
}

}  // namespace
}  // namespace vellum
