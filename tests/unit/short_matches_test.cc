// The one-pass measure-and-match walk for search strings of two or three
// bytes, in both versions, against a byte-by-byte walk: texts at every
// alignment, ending right before an unreadable page and starting right after
// one, with matches touching both ends and more matches than the block holds.
#include "scan/search/short_matches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/unit/guarded_page.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

using ScanFn = ShortMatches (*)(const char*, std::string_view, size_t*, size_t);

std::vector<ScanFn> Versions() {
  std::vector<ScanFn> versions = {ScanShortMatchesSse2};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) versions.push_back(ScanShortMatchesAvx2);
  }
  return versions;
}

std::vector<size_t> MatchesOf(const std::string& text,
                              const std::string& pattern) {
  std::vector<size_t> offsets;
  for (size_t at = text.find(pattern); at != std::string::npos;
       at = text.find(pattern, at + pattern.size())) {
    offsets.push_back(at);
  }
  return offsets;
}

// Checks one walk of `text` at `where` against the byte-by-byte walk: its
// length, its count, and that what it stored is the leftmost matches.
void ExpectWalk(ScanFn scan, const char* where, const std::string& text,
                const std::string& pattern, size_t capacity) {
  std::vector<size_t> out(capacity + kShortMatchSlack);
  ShortMatches found = scan(where, pattern, out.data(), capacity);
  std::vector<size_t> expected = MatchesOf(text, pattern);
  ASSERT_EQ(found.length, text.size());
  ASSERT_EQ(found.count, expected.size());
  ASSERT_LE(found.stored, std::min(capacity, expected.size()));
  if (expected.size() + 128 <= capacity) {
    ASSERT_EQ(found.stored, expected.size());
  }
  out.resize(found.stored);
  expected.resize(found.stored);
  ASSERT_EQ(out, expected);
}

TEST(ShortMatchesTest, TakesOnlyShortStringsThatCannotOverlap) {
  EXPECT_TRUE(IsShortUnbordered("the"));
  EXPECT_TRUE(IsShortUnbordered("ab"));
  EXPECT_TRUE(IsShortUnbordered("aab"));
  EXPECT_FALSE(IsShortUnbordered("aa"));
  EXPECT_FALSE(IsShortUnbordered("aba"));
  EXPECT_FALSE(IsShortUnbordered("a"));
  EXPECT_FALSE(IsShortUnbordered("abcd"));
  EXPECT_FALSE(IsShortUnbordered(std::string_view("a\0b", 3)));
}

TEST(ShortMatchesTest, StopsAtTheTerminatorAtEveryAlignment) {
  GuardedPage page;
  std::mt19937 random(7);
  for (ScanFn scan : Versions()) {
    for (const std::string pattern : {"ab", "abc", "a\xFF", "\xFF\x80q"}) {
      for (size_t n = 0; n <= 400; n += (n < 200 ? 1 : 37)) {
        SCOPED_TRACE(pattern + " length " + std::to_string(n));
        // Matches at both ends, between runs of the pattern's own bytes.
        std::string text(n, ' ');
        for (char& c : text) c = pattern[random() % pattern.size()];
        if (n >= pattern.size()) {
          text.replace(0, pattern.size(), pattern);
          text.replace(n - pattern.size(), pattern.size(), pattern);
        }
        ExpectWalk(scan, page.AtEnd(text), text, pattern, 1024);
        ExpectWalk(scan, page.AtStart(text), text, pattern, 1024);
        // The text at every offset from a 64-byte boundary, whatever
        // follows its terminator in the page.
        char* slot = page.Tail(n + 1 + 64);
        for (size_t shift = 0; shift < 64; ++shift) {
          std::copy(text.begin(), text.end(), slot + shift);
          slot[shift + n] = '\0';
          ExpectWalk(scan, slot + shift, text, pattern, 1024);
        }
      }
    }
  }
}

// A block too small for every match: the leftmost ones are stored, in
// order, and the rest are still counted.
TEST(ShortMatchesTest, CountsPastAFullBlock) {
  std::string text;
  while (text.size() < 20000) text += "xab";
  for (ScanFn scan : Versions()) {
    for (size_t capacity : {0u, 100u, 300u, 1000u}) {
      SCOPED_TRACE("capacity " + std::to_string(capacity));
      ExpectWalk(scan, text.c_str(), text, "ab", capacity);
    }
  }
}

}  // namespace
}  // namespace vellum
