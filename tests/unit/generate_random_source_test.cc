#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "commands/generate/random_source.h"

namespace vellum {
namespace {

TEST(GenerateRandomSourceTest, KnownOutputsOfTheDefaultSeed) {
  SeedRandomSource(5489);
  MersenneTwister& source = RandomSource();
  EXPECT_EQ(source.Next(), 3499211612u);
  EXPECT_EQ(source.Next(), 581869302u);
  EXPECT_EQ(source.Next(), 3890346734u);
  for (int i = 4; i < 10000; ++i) source.Next();
  EXPECT_EQ(source.Next(), 4123659995u);
}

// Several refills of both halves, from seeds with all, none and single bits.
TEST(GenerateRandomSourceTest, MatchesTheReferenceGenerator) {
  std::mt19937 seeds(20240601);
  std::vector<uint32_t> all = {0, 1, 5489, 0x80000000u, 0xFFFFFFFFu};
  for (int i = 0; i < 20; ++i) all.push_back(seeds());
  for (uint32_t seed : all) {
    MersenneTwister twister;
    twister.Seed(seed);
    std::mt19937 reference(seed);
    for (int i = 0; i < 5 * 624 + 7; ++i) {
      ASSERT_EQ(twister.Next(), reference())
          << "seed " << seed << " output " << i;
    }
  }
}

// The bulk reader sees the same sequence, read in chunks that end on and
// off the half boundaries.
TEST(GenerateRandomSourceTest, ReadyWordsContinueTheSequence) {
  MersenneTwister twister;
  twister.Seed(77);
  std::mt19937 reference(77);
  const size_t chunks[] = {1, 623, 624, 300, 324, 1000, 5};
  for (int round = 0; round < 6; ++round) {
    for (size_t chunk : chunks) {
      size_t left = chunk;
      while (left > 0) {
        MersenneTwister::Words ready = twister.Ready();
        ASSERT_GE(ready.count, 1u);
        ASSERT_LE(ready.count, MersenneTwister::kStateWords);
        size_t take = std::min(left, ready.count);
        for (size_t i = 0; i < take; ++i) {
          ASSERT_EQ(MersenneTwister::Temper(ready.words[i]), reference());
        }
        twister.Skip(take);
        left -= take;
      }
      ASSERT_EQ(twister.Next(), reference());
    }
  }
}

}  // namespace
}  // namespace vellum
