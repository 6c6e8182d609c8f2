#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "commands/generate/draw_index.h"
#include "commands/generate/generate_string.h"
#include "commands/generate/random_source.h"
#include "host/host_string.h"
#include "tests/unit/host_fixture.h"

namespace vellum {
namespace {


constexpr uint32_t kFirstOutputOf5489 = 3499211612u;

class GenerateStringTest : public testing::HostTest {};

TEST_F(GenerateStringTest, SeededExamples) {
  SeedRandomSource(5489);
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequence(nullptr, 16)), "O8UP7YUdDj6xhbxZ");
  SeedRandomSource(5489);
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, "ab", 8)),
            "babbabba");
  SeedRandomSource(5489);
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, "abc", 8)),
            "caccacca");
}

// Results without a draw: each leaves the generator where it was.
TEST_F(GenerateStringTest, NothingToDraw) {
  SeedRandomSource(5489);
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, "x", 5)), "xxxxx");
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequence(nullptr, 0)), "");
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, "abc", 0)), "");
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, "", 5)), "");
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, nullptr, 5)), "");
  EXPECT_EQ(ErrorWord(), 0);
  // A negative size is checked before the alphabet.
  EXPECT_EQ(FakeCoreTakeResult(GenerateSequenceFromList(nullptr, nullptr, -1)),
            std::nullopt);
  EXPECT_EQ(ErrorWord(), kErrorNegativeSize);
  EXPECT_EQ(RandomSource().Next(), kFirstOutputOf5489);
}

// The old result may be the alphabet itself: it is read in full before it
// goes back.
TEST_F(GenerateStringTest, OldResultAsAlphabet) {
  SeedRandomSource(5489);
  HostString old = FakeCoreMakeString("ab");
  FakeCoreBeginCall();
  HostString result = GenerateSequenceFromList(old, old, 8);
  ASSERT_EQ(FakeCoreEventCount(), 2);
  EXPECT_EQ(FakeCoreEventAt(0)->kind, kFakeCoreAlloc);
  EXPECT_EQ(FakeCoreEventAt(0)->size, 9);
  EXPECT_EQ(FakeCoreEventAt(1)->address, old);
  EXPECT_EQ(FakeCoreEventAt(1)->faults, 0);
  EXPECT_EQ(FakeCoreTakeResult(result), "babbabba");
}

// The bulk fill gives the characters that one DrawIndex per character would,
// and uses up the same outputs: sizes around the refill points, alphabets
// with bytes up to 0xFF, and a 16 MiB alphabet whose draws reject about one
// output in 256.
TEST_F(GenerateStringTest, FillMatchesOneDrawPerCharacter) {
  std::vector<std::string> alphabets;
  for (size_t n : {2, 3, 5, 62, 64, 100, 255}) {
    std::string alphabet;
    for (size_t i = 0; i < n; ++i) alphabet += static_cast<char>(1 + i % 255);
    alphabets.push_back(alphabet);
  }
  std::string big(16777217, '\0');
  for (size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<char>(1 + (i * 2654435761u >> 13) % 255);
  }
  alphabets.push_back(big);
  for (const std::string& alphabet : alphabets) {
    for (int32_t size : {1, 623, 624, 625, 1249, 20000}) {
      auto n = static_cast<uint32_t>(alphabet.size());
      SeedRandomSource(size + n);
      std::string expected;
      for (int32_t k = 0; k < size; ++k) expected += alphabet[DrawIndex(n)];
      uint32_t next = RandomSource().Next();
      SeedRandomSource(size + n);
      HostString result =
          GenerateSequenceFromList(nullptr, alphabet.c_str(), size);
      ASSERT_EQ(FakeCoreTakeResult(result), expected) << "n " << n << " size " << size;
      ASSERT_EQ(RandomSource().Next(), next) << "n " << n << " size " << size;
    }
  }
}

// Pearson's chi-square of the characters of `text` against the alphabet's
// weights (a character that occurs twice is twice as likely); infinite when
// `text` holds a character that is not in the alphabet.
double ChiSquare(const std::string& text, const std::string& alphabet) {
  if (text.find_first_not_of(alphabet) != std::string::npos) return INFINITY;
  std::map<char, double> weight;
  for (char c : alphabet) weight[c] += 1.0 / alphabet.size();
  std::map<char, double> seen;
  for (char c : text) seen[c] += 1;
  double chi = 0;
  for (const auto& [c, p] : weight) {
    double expected = p * text.size();
    chi += (seen[c] - expected) * (seen[c] - expected) / expected;
  }
  return chi;
}

// Fixed seeds, so the statistics are fixed too; each bound is the 0.1%
// critical value for its degrees of freedom.
TEST_F(GenerateStringTest, CharactersAreUniform) {
  SeedRandomSource(20261206);
  std::string text = *FakeCoreTakeResult(GenerateSequence(nullptr, 620000));
  EXPECT_LT(ChiSquare(text, "0123456789abcdefghijklmnopqrstuvwxyz"
                            "ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
            100.9);  // 61 degrees of freedom
  for (const char* alphabet : {"abc", "aab"}) {
    std::string drawn =
        *FakeCoreTakeResult(GenerateSequenceFromList(nullptr, alphabet, 300000));
    EXPECT_LT(ChiSquare(drawn, alphabet), 13.8) << alphabet;  // at most 2
  }
}

}  // namespace
}  // namespace vellum
