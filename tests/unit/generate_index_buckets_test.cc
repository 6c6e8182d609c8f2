#include <emmintrin.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "commands/generate/fixed_divisor.h"
#include "commands/generate/index_buckets.h"
#include "commands/generate/random_source.h"
#include "tests/unit/generate_plain_draw.h"

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
  for (uint32_t d :
       {2u, 3u, 7u, 641u, 6700417u, 65535u, 65536u, 65537u, 0x7FFFFFFFu,
        0x80000000u, 0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
    divisors.push_back(d);
  }
  return divisors;
}

// Quotients below this are checked at every multiple of the divisor; that
// covers every bucket of an alphabet of up to 256 characters.
constexpr uint32_t kEveryMultipleUpTo = 4096;

// Both sides of the multiples of d, where a quotient that is one off shows,
// and the ends of the range.
std::vector<uint32_t> Dividends(uint32_t d, std::mt19937& random) {
  std::vector<uint32_t> xs = {0, 1, d - 1, d, UINT32_MAX, UINT32_MAX - 1};
  uint32_t top = UINT32_MAX / d;
  std::vector<uint32_t> quotients;
  if (top <= kEveryMultipleUpTo) {
    for (uint32_t q = 1; q <= top; ++q) quotients.push_back(q);
  } else {
    quotients = {1, 2, 3, top / 2, top - 1, top};
    for (int i = 0; i < 200; ++i) quotients.push_back(1 + random() % top);
  }
  for (uint32_t q : quotients) {
    uint64_t multiple = uint64_t{q} * d;
    xs.push_back(static_cast<uint32_t>(multiple));
    xs.push_back(static_cast<uint32_t>(multiple - 1));
    if (multiple < UINT32_MAX) {
      xs.push_back(static_cast<uint32_t>(multiple + 1));
    }
  }
  for (int i = 0; i < 500; ++i) xs.push_back(random());
  return xs;
}

// The scalar and the four-lane division against the hardware's, with every
// dividend passing through every lane.
TEST(GenerateIndexBucketsTest, FixedDivisorDividesExactly) {
  std::mt19937 random(4242);
  for (uint32_t d : Divisors()) {
    const FixedDivisor divisor(d);
    const FixedDivisor::Lanes lanes(divisor);
    std::vector<uint32_t> xs = Dividends(d, random);
    for (uint32_t x : xs) {
      ASSERT_EQ(divisor.Divide(x), x / d) << x << " / " << d;
    }
    for (size_t i = 0; i + 4 <= xs.size(); ++i) {
      uint32_t quotient[4];
      _mm_storeu_si128(reinterpret_cast<__m128i*>(quotient),
                       lanes.Divide(_mm_loadu_si128(
                           reinterpret_cast<const __m128i*>(&xs[i]))));
      for (int lane = 0; lane < 4; ++lane) {
        ASSERT_EQ(quotient[lane], xs[i + lane] / d)
            << xs[i + lane] << " / " << d << " in lane " << lane;
      }
    }
  }
}

TEST(GenerateIndexBucketsTest, BucketSizes) {
  EXPECT_EQ(IndexBuckets::Size(62), 69273666u);
  EXPECT_EQ(IndexBuckets::Size(256), 0x01000000u);  // a power of two: exact
  EXPECT_EQ(IndexBuckets::Size(kLongestAlphabet), 2u);
  for (uint32_t n : AlphabetSizes()) {
    if (n > 1) {
      EXPECT_EQ(IndexBuckets::Size(n), testing::PlainBucket(n)) << n;
    }
  }
}

// The buckets of whole runs of generator words, and whether any of them is
// rejected, for every count around the four-word step. With n = 1500000000
// about 30% of outputs are rejected, so runs with and without one occur at
// every count, including ones whose only rejection is in the last words.
TEST(GenerateIndexBucketsTest, BucketsOfWords) {
  std::mt19937 random(77);
  for (uint32_t n : {2u, 3u, 62u, 256u, 1500000000u, kLongestAlphabet}) {
    const IndexBuckets buckets(n);
    int runs_rejected = 0;
    for (size_t count : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 623, 624}) {
      for (int trial = 0; trial < 100; ++trial) {
        std::vector<uint32_t> words(count);
        for (uint32_t& word : words) word = random();
        std::vector<uint32_t> bucket(count + 1, 0xDEADBEEFu);
        bool expect_rejected = false;
        bool rejected = buckets.OfWords(words.data(), count, bucket.data());
        for (size_t i = 0; i < count; ++i) {
          uint64_t expected =
              MersenneTwister::Temper(words[i]) / testing::PlainBucket(n);
          ASSERT_EQ(bucket[i], expected) << "n " << n << " word " << i;
          expect_rejected |= expected >= n;
        }
        ASSERT_EQ(bucket[count], 0xDEADBEEFu) << "n " << n;
        ASSERT_EQ(rejected, expect_rejected) << "n " << n << " count " << count;
        runs_rejected += rejected;
      }
    }
    if (n == 1500000000u) {
      EXPECT_GT(runs_rejected, 300);
    }
  }
}

}  // namespace
}  // namespace vellum
