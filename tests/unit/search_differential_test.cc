// The fast scans against the plain references of
// tests/reference/search_reference.h on random strings over small
// alphabets, where periodic and overlapping cases are common.
// A failure prints the seed and the strings that reproduce it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scan/byte_scan.h"
#include "scan/search/candidate_starts.h"
#include "scan/search/string_search.h"
#include "scan/search/two_way.h"
#include "scan/set_scan.h"
#include "scan/string_compare.h"
#include "tests/reference/search_reference.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

constexpr uint32_t kSeed = 20261206;
constexpr int kRounds = 4000;

// Alphabets that make matches likely; 0x7F against 0xFF catches a byte read
// as signed where it should be unsigned, and the reverse.
const std::vector<std::string>& Alphabets() {
  static const std::vector<std::string> alphabets = {"ab", "abc", "\x7F\xFF",
                                                     "a\xE9"};
  return alphabets;
}

using reference::NaiveCompare;
using reference::NaiveCount;
using reference::NaiveFind;
using reference::NaiveFindAny;
using reference::NaiveFindLast;
using reference::NaiveMatches;

// --- inputs --------------------------------------------------------------

class Inputs {
 public:
  explicit Inputs(uint32_t seed) : random_(seed) {}

  std::string Random(const std::string& alphabet, size_t max_size) {
    std::string s(Below(max_size + 1), '\0');
    for (char& c : s) c = alphabet[Below(alphabet.size())];
    return s;
  }

  // Text built from pieces of the pattern so that near-matches and
  // overlapping matches are frequent.
  std::string Around(const std::string& pattern, const std::string& alphabet,
                     size_t pieces) {
    std::string s;
    for (size_t i = 0; i < pieces; ++i) {
      if (Below(3) == 0) {
        s += Random(alphabet, 3);
      } else {
        s += pattern.substr(Below(pattern.size() + 1));
      }
    }
    return s;
  }

  const std::string& Alphabet() {
    return Alphabets()[Below(Alphabets().size())];
  }

  // A search string of up to `longest_pattern` bytes, never empty, and a
  // text over the same alphabet: random and up to `longest_text` bytes on
  // odd rounds, `pieces` pieces around the search string on even ones.
  std::pair<std::string, std::string> SearchCase(int round,
                                                 size_t longest_pattern,
                                                 size_t longest_text,
                                                 size_t pieces) {
    const std::string& alphabet = Alphabet();
    std::string pattern = Random(alphabet, longest_pattern);
    if (pattern.empty()) pattern = alphabet.substr(0, 1);
    std::string text = round % 2 ? Random(alphabet, longest_text)
                                 : Around(pattern, alphabet, pieces);
    return {pattern, text};
  }

  size_t Below(size_t bound) {
    return std::uniform_int_distribution<size_t>(0, bound - 1)(random_);
  }

 private:
  std::mt19937 random_;
};

// A NUL-terminated copy of `text` at a chosen distance from a 16-byte
// boundary, to reach every start of the block scans.
class Placed {
 public:
  Placed(std::string_view text, size_t misalignment)
      : storage_(text.size() + 64, '\0') {
    char* base = storage_.data();
    base += (16 - reinterpret_cast<uintptr_t>(base) % 16) % 16 + misalignment;
    std::memcpy(base, text.data(), text.size());
    start_ = base;
  }
  const char* c_str() const { return start_; }

 private:
  std::vector<char> storage_;
  const char* start_;
};

size_t OffsetOf(const char* base, const char* hit) {
  return hit ? static_cast<size_t>(hit - base) : kNotFound;
}

std::string Printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// What a failure prints: enough to rerun the case by hand.
std::string CaseText(int round, std::string_view text,
                     std::string_view pattern) {
  return "seed " + std::to_string(kSeed) + " round " + std::to_string(round) +
         " text \"" + Printable(text) + "\" pattern \"" + Printable(pattern) +
         "\"";
}

// --- substring searches ----------------------------------------------------

// The three substring routines against their references; false once one
// has failed, so that the loop stops at the first failing case.
bool SubstringSearchesAgree(std::string_view text, std::string_view pattern,
                            size_t from) {
  EXPECT_EQ(FindString(text, pattern, from), NaiveFind(text, pattern, from));
  EXPECT_EQ(FindLastString(text, pattern), NaiveFindLast(text, pattern));
  EXPECT_EQ(CountStrings(text, pattern), NaiveCount(text, pattern));
  return !::testing::Test::HasFailure();
}

TEST(SearchDifferentialTest, SubstringSearchesMatchReference) {
  Inputs inputs(kSeed);
  for (int round = 0; round < kRounds; ++round) {
    auto [pattern, text] = inputs.SearchCase(round, 12, 300, 40);
    SCOPED_TRACE(CaseText(round, text, pattern));
    ASSERT_TRUE(
        SubstringSearchesAgree(text, pattern, inputs.Below(text.size() + 2)));
  }
  // An empty search string, as a null argument gives it, has no bytes to
  // read and no matches.
  EXPECT_EQ(CountStrings("abc", std::string_view()), 0u);
}

// Long periodic texts with a few bytes changed and patterns cut from them:
// most starts pass the first-and-last-byte filter and the full compares run
// long, so the searches hand over to two-way part way through.
TEST(SearchDifferentialTest, PeriodicTextsMatchReference) {
  Inputs inputs(kSeed + 5);
  for (int round = 0; round < kRounds / 4; ++round) {
    const std::string& alphabet = inputs.Alphabet();
    std::string unit = inputs.Random(alphabet, 3) + alphabet.substr(0, 1);
    std::string text;
    while (text.size() < 1500) text += unit;
    for (size_t changes = inputs.Below(4); changes > 0; --changes) {
      text[inputs.Below(text.size())] = alphabet[inputs.Below(alphabet.size())];
    }
    size_t length = 8 + inputs.Below(60);
    std::string pattern =
        text.substr(inputs.Below(text.size() - length), length);
    pattern[inputs.Below(length)] = alphabet[inputs.Below(alphabet.size())];
    SCOPED_TRACE(CaseText(round, text, pattern));
    ASSERT_TRUE(
        SubstringSearchesAgree(text, pattern, inputs.Below(text.size())));
  }
}

// The filter hands over to two-way only on long repetitive input, so
// two-way is checked on its own as well, in both directions.
TEST(SearchDifferentialTest, TwoWayMatchesReference) {
  Inputs inputs(kSeed + 1);
  for (int round = 0; round < kRounds; ++round) {
    auto [pattern, text] = inputs.SearchCase(round, 10, 120, 20);
    SCOPED_TRACE(CaseText(round, text, pattern));
    size_t from = inputs.Below(text.size() + 2);

    size_t forward =
        TwoWayFind(ForwardBytes{text.data(), text.size()},
                   ForwardBytes{pattern.data(), pattern.size()}, from);
    ASSERT_EQ(forward, NaiveFind(text, pattern, from));

    std::string reversed_text(text.rbegin(), text.rend());
    std::string reversed_pattern(pattern.rbegin(), pattern.rend());
    size_t backward =
        TwoWayFind(ReversedBytes{text.data(), text.size()},
                   ReversedBytes{pattern.data(), pattern.size()}, from);
    ASSERT_EQ(backward, NaiveFind(reversed_text, reversed_pattern, from));
  }
}

// Runs of 'a' with one 'b': every start passes the first-and-last-byte
// filter and its full compare runs to the 'b', so the search hands over to
// two-way after a few dozen starts. Moving the one match through every
// position checks that the handover neither skips nor repeats a start.
TEST(SearchDifferentialTest, HandoverToTwoWayLosesNoStart) {
  for (size_t half : {3u, 8u, 20u}) {
    std::string run(half, 'a');
    std::string pattern = run + "b" + run;
    for (size_t at = 0; at < 400; ++at) {
      std::string text =
          std::string(at, 'a') + pattern + std::string(400 - at, 'a');
      SCOPED_TRACE(CaseText(static_cast<int>(at), text, pattern));
      ASSERT_EQ(FindString(text, pattern), at);
      ASSERT_EQ(FindLastString(text, pattern), at);
      ASSERT_EQ(CountStrings(text, pattern), 1u);
      ASSERT_EQ(FindString(text, run + "c"), kNotFound);
    }
  }
}

// A search string whose first and last bytes stand at every start of the
// text while its second byte stands at none: every start passes the
// first-and-last-byte filter and fails at once, which hands the search to
// two-way. One occurrence is planted at every offset, the ends included,
// over plain and high bytes.
TEST(SearchDifferentialTest, FilterDefeatingSearchStringsLoseNoStart) {
  for (const char* pair : {"ab", "\xFF\x80"}) {
    const char fill = pair[0];
    const char odd = pair[1];
    for (size_t tail : {1u, 5u, 40u}) {
      std::string pattern =
          std::string(1, fill) + odd + std::string(tail, fill);
      for (size_t at = 0; at + pattern.size() <= 300; ++at) {
        std::string text(300, fill);
        text.replace(at, pattern.size(), pattern);
        SCOPED_TRACE(CaseText(static_cast<int>(at), text, pattern));
        ASSERT_TRUE(SubstringSearchesAgree(text, pattern, 0));
        ASSERT_TRUE(SubstringSearchesAgree(text, pattern, at));
        ASSERT_TRUE(SubstringSearchesAgree(text, pattern, at + 1));
        std::string absent =
            std::string(1, fill) + 'c' + std::string(tail, fill);
        ASSERT_TRUE(SubstringSearchesAgree(text, absent, 0));
      }
    }
  }
}

// --- the match walk -------------------------------------------------------

// Texts of many blocks of starts, walked in batches of every size from one
// so that batch ends fall at every point of the collected starts, stopped
// part way and the rest counted: the walk, its count and CountStrings agree
// with the byte walk.
TEST(SearchDifferentialTest, MatchWalkMatchesReference) {
  Inputs inputs(kSeed + 6);
  for (int round = 0; round < kRounds / 2; ++round) {
    auto [pattern, text] = inputs.SearchCase(round, 6, 1200, 200);
    SCOPED_TRACE(CaseText(round, text, pattern));
    size_t from = inputs.Below(text.size() + 2);
    std::vector<size_t> expected = NaiveMatches(text, pattern, from);

    MatchWalker walker(text, pattern, from);
    std::vector<size_t> batch(1 + inputs.Below(70));
    size_t stop = inputs.Below(expected.size() + 1);
    std::vector<size_t> walked;
    while (walked.size() < stop) {
      size_t found = walker.Next(batch.data(),
                                 std::min(batch.size(), stop - walked.size()));
      ASSERT_NE(found, 0u);
      walked.insert(walked.end(), batch.begin(), batch.begin() + found);
    }
    ASSERT_TRUE(std::equal(walked.begin(), walked.end(), expected.begin()));
    ASSERT_EQ(walker.CountRest(), expected.size() - stop);
    ASSERT_EQ(walker.Next(batch.data(), batch.size()), 0u);
    ASSERT_EQ(CountStrings(text, pattern), NaiveCount(text, pattern));
  }
}

// The filter's passing starts, collected and counted by both versions,
// against a byte-by-byte test, with texts ending at every point of a block.
TEST(SearchDifferentialTest, PassingStartsMatchReference) {
  std::vector<CollectCandidatesFn> collects = {CollectCandidatesSse2};
  std::vector<CountCandidatesFn> counts = {CountCandidatesSse2};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) {
      collects.push_back(CollectCandidatesAvx2);
      counts.push_back(CountCandidatesAvx2);
    }
  }
  Inputs inputs(kSeed + 7);
  for (int round = 0; round < kRounds; ++round) {
    const std::string& alphabet = inputs.Alphabet();
    std::string text = inputs.Random(alphabet + "xyz", 700);
    std::string pattern = inputs.Random(alphabet, 6);
    if (pattern.empty() || text.size() < pattern.size()) continue;
    SCOPED_TRACE(CaseText(round, text, pattern));
    const auto filter = StartFilter::For(text.data(), text.size(),
                                         pattern.data(), pattern.size());
    const size_t inner = filter.inner;  // the middle byte of three, if any
    const size_t span = pattern.size() - 1;
    size_t from = inputs.Below(text.size() + 1);
    std::vector<size_t> expected;
    for (size_t at = from; at + span < text.size(); ++at) {
      if (text[at] == pattern[0] && text[at + inner] == pattern[inner] &&
          text[at + span] == pattern[span]) {
        expected.push_back(at);
      }
    }
    for (CountCandidatesFn count : counts) {
      ASSERT_EQ(count(filter, from), expected.size());
    }
    for (CollectCandidatesFn collect : collects) {
      size_t enough = 1 + inputs.Below(40);
      std::vector<size_t> out(enough + kCollectSlack);
      std::vector<size_t> collected;
      for (size_t scan = from; scan <= filter.last_start;) {
        size_t found = collect(filter, &scan, enough, out.data());
        collected.insert(collected.end(), out.begin(), out.begin() + found);
      }
      ASSERT_EQ(collected, expected);
    }
  }
}

// --- byte and set scans ------------------------------------------------------

TEST(SearchDifferentialTest, ByteScansMatchReference) {
  Inputs inputs(kSeed + 2);
  for (int round = 0; round < kRounds; ++round) {
    const std::string& alphabet = inputs.Alphabet();
    std::string text = inputs.Random(alphabet + "xyz", 300);
    size_t from = inputs.Below(text.size() + 1);
    Placed placed(text, inputs.Below(16));
    const char* base = placed.c_str();
    std::string_view rest = std::string_view(text).substr(from);
    auto in_rest = [&](size_t at) { return at == kNotFound ? at : at + from; };

    char first = alphabet[inputs.Below(alphabet.size())];
    char second = alphabet[inputs.Below(alphabet.size())];
    SCOPED_TRACE(CaseText(round, text, std::string{first, second}));
    size_t one = in_rest(rest.find(first));
    size_t either = in_rest(rest.find_first_of(std::string{first, second}));
    ASSERT_EQ(OffsetOf(base, FindByteSse2(base + from, first)), one);
    ASSERT_EQ(OffsetOf(base, FindEitherByteSse2(base + from, first, second)),
              either);
    if constexpr (kBuiltIsa >= Isa::kAvx2) {
      if (!RunsHere(Isa::kAvx2)) continue;
      ASSERT_EQ(OffsetOf(base, FindByteAvx2(base + from, first)), one);
      ASSERT_EQ(OffsetOf(base, FindEitherByteAvx2(base + from, first, second)),
                either);
    }
  }
}

TEST(SearchDifferentialTest, SetScansMatchReference) {
  Inputs inputs(kSeed + 3);
  // Bytes that never occur in the texts, to pad sets past the sixteen
  // members that the string-compare instruction takes.
  const std::string absent = "0123456789ABCDEFGHIJ";
  for (int round = 0; round < kRounds; ++round) {
    const std::string& alphabet = inputs.Alphabet();
    std::string text = inputs.Random(alphabet + "xyz\x80", 200);
    std::string set = inputs.Random(alphabet + "xyz\x80", 4);
    if (set.empty()) set = "x";
    set += absent.substr(0, inputs.Below(absent.size() + 1));
    size_t from = inputs.Below(text.size() + 1);
    Placed placed(text, inputs.Below(16));
    const char* base = placed.c_str();
    SCOPED_TRACE(CaseText(round, text, set));
    size_t expected = NaiveFindAny(std::string_view(text).substr(from), set);
    ASSERT_EQ(OffsetOf(base, FindAnyByte(base + from, set)),
              expected == kNotFound ? kNotFound : expected + from);
  }
}

TEST(SearchDifferentialTest, CompareMatchesReference) {
  std::vector<int (*)(const char*, const char*)> compares = {
      CompareSignedBytesSse2};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) compares.push_back(CompareSignedBytesAvx2);
  }
  Inputs inputs(kSeed + 4);
  for (int round = 0; round < kRounds; ++round) {
    const std::string& alphabet = inputs.Alphabet();
    // Mostly a long common prefix, so that the difference falls in every
    // block position and past the first few 128-byte rounds.
    std::string a = inputs.Random(alphabet, 400);
    std::string b =
        a.substr(0, inputs.Below(a.size() + 1)) + inputs.Random(alphabet, 3);
    if (round % 4 == 0) b = inputs.Random(alphabet, 150);
    Placed first(a, inputs.Below(16));
    Placed second(b, inputs.Below(16));
    SCOPED_TRACE(CaseText(round, a, b));
    for (auto compare : compares) {
      ASSERT_EQ(compare(first.c_str(), second.c_str()), NaiveCompare(a, b));
      ASSERT_EQ(compare(second.c_str(), first.c_str()), NaiveCompare(b, a));
    }
  }
}

}  // namespace
}  // namespace vellum
