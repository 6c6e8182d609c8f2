// Every version of the vector scans, each called by name, against the
// plain references of tests/reference/: strings whose terminator is the
// last byte before an unreadable page, scanned from each offset of a 64-byte
// line, and strings that begin at each offset of a line after an unreadable
// page, so that a read past either end faults. Each family's dispatcher runs
// beside its versions. The length scans have their own such test
// (scan_length_test.cc).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "commands/chars/case_map.h"
#include "scan/byte_scan.h"
#include "scan/search/candidate_starts.h"
#include "scan/search/short_matches.h"
#include "scan/search/string_search.h"
#include "scan/set_scan.h"
#include "scan/string_compare.h"
#include "tests/reference/chars_reference.h"
#include "tests/reference/search_reference.h"
#include "tests/unit/guarded_page.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

using FindByteFn = const char* (*)(const char*, char);
using FindEitherFn = const char* (*)(const char*, char, char);
using FindAnyFn = const char* (*)(const char*, std::string_view);
using CompareFn = int (*)(const char*, const char*);
using ShortMatchesFn = ShortMatches (*)(const char*, std::string_view, size_t*,
                                        size_t);
using CaseMapFn = void (*)(const unsigned char*, unsigned char*, size_t,
                           unsigned char);

// Lengths that put the terminator at every offset of a 64-byte line, some
// with whole rounds of the widest loops (256 bytes) before it.
std::vector<size_t> Lengths() {
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 140; ++n) lengths.push_back(n);
  for (size_t n : {255u, 256u, 257u, 600u}) lengths.push_back(n);
  return lengths;
}

// Bytes over a few values, the high ones among them, so that matches and
// near matches are common; no NUL.
constexpr std::string_view kFewBytes = "ab\x80\xFF";

// `size` random bytes of `alphabet`.
std::string RandomText(std::mt19937& random, size_t size,
                       std::string_view alphabet = kFewBytes) {
  std::string text(size, ' ');
  for (char& c : text) c = alphabet[random() % alphabet.size()];
  return text;
}

// Calls check(s, rest) for `text` placed on `page` in two ways: with its
// terminator on the page's last byte, from each of its first 64 offsets
// (`s` is then text + offset and `rest` what follows); and copied to each
// of the first 64 offsets of the page, from its start.
template <class Check>
void AtEveryAlignment(GuardedPage& page, const std::string& text, Check check) {
  const char* placed = page.AtEnd(text);
  for (size_t from = 0; from <= std::min<size_t>(text.size(), 63); ++from) {
    SCOPED_TRACE("at the page end, from offset " + std::to_string(from));
    check(placed + from, std::string_view(text).substr(from));
  }
  for (size_t shift = 0; shift < 64; ++shift) {
    SCOPED_TRACE("at offset " + std::to_string(shift) + " of the page");
    char* start = page.From(shift);
    std::memcpy(start, text.c_str(), text.size() + 1);
    check(start, std::string_view(text));
  }
}

// Calls check(s, rest) as AtEveryAlignment does, for a random text of each
// of Lengths(), drawn from `alphabet` by a generator seeded with `seed`.
template <class Check>
void ForRandomTexts(unsigned seed, Check check,
                    std::string_view alphabet = kFewBytes) {
  GuardedPage page;
  std::mt19937 random(seed);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    AtEveryAlignment(page, RandomText(random, n, alphabet), check);
  }
}

size_t OffsetOf(const char* base, const char* hit) {
  return hit ? static_cast<size_t>(hit - base) : kNotFound;
}

TEST(ScanVersionsTest, ByteScansAgreeWithTheReference) {
  const auto byte_scans = VersionsOf<Isa::kAvx2, FindByteFn>(
      FindByte, FindByteSse2, "avx2", [] { return FindByteAvx2; });
  const auto either_byte_scans = VersionsOf<Isa::kAvx2, FindEitherFn>(
      FindEitherByte, FindEitherByteSse2, "avx2",
      [] { return FindEitherByteAvx2; });
  ForRandomTexts(1, [&](const char* s, std::string_view rest) {
    for (char byte : {'a', '\xFF', 'z'}) {
      size_t expected = reference::NaiveFind(rest, {&byte, 1}, 0);
      for (const auto& scan : byte_scans) {
        ASSERT_EQ(OffsetOf(s, scan.fn(s, byte)), expected) << scan.name;
      }
    }
    for (const char* pair : {"b\x80", "zy", "\xFFq"}) {
      size_t expected = reference::NaiveFindAny(rest, pair);
      for (const auto& scan : either_byte_scans) {
        ASSERT_EQ(OffsetOf(s, scan.fn(s, pair[0], pair[1])), expected)
            << scan.name;
      }
    }
  });
}

TEST(ScanVersionsTest, SetScansAgreeWithTheReference) {
  // The SSE4.2 set scan takes at most 16 distinct members; the tests below
  // give it no more.
  const auto set_scans = VersionsOf<Isa::kSse42, FindAnyFn>(
      FindAnyByte, FindAnyByteSse2, "sse42", [] { return FindAnyByteSse42; });
  // Sets of one to sixteen members, with members that never occur.
  const std::vector<std::string> sets = {
      "\x80", "zb", "xyz\xFF", "0123456789ABCDEa", "0123456789ABCDEF"};
  ForRandomTexts(2, [&](const char* s, std::string_view rest) {
    for (const std::string& set : sets) {
      size_t expected = reference::NaiveFindAny(rest, set);
      for (const auto& scan : set_scans) {
        ASSERT_EQ(OffsetOf(s, scan.fn(s, set)), expected)
            << scan.name << ", set " << set;
      }
    }
  });
}

// The second string is the first with its end changed, or the same, and
// lies against the end of a page of its own: the two walks then reach their
// page ends at different points.
TEST(ScanVersionsTest, ComparesAgreeWithTheReference) {
  const auto compares = VersionsOf<Isa::kAvx2, CompareFn>(
      CompareSignedBytes, CompareSignedBytesSse2, "avx2",
      [] { return CompareSignedBytesAvx2; });
  GuardedPage page;
  GuardedPage other_page;
  std::mt19937 random(3);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    const std::string text = RandomText(random, n);
    const size_t kept = n == 0 ? 0 : random() % (n + 1);
    const std::string other =
        n % 3 == 0 ? text : text.substr(0, kept) + RandomText(random, 3);
    const char* b = other_page.AtEnd(other);
    AtEveryAlignment(page, text, [&](const char* a, std::string_view rest) {
      std::string_view other_rest = std::string_view(other).substr(
          std::min(other.size(), n - rest.size()));
      const char* b_rest = b + (other.size() - other_rest.size());
      int expected = reference::NaiveCompare(rest, other_rest);
      for (const auto& compare : compares) {
        ASSERT_EQ(compare.fn(a, b_rest), expected) << compare.name;
        ASSERT_EQ(compare.fn(b_rest, a), -expected) << compare.name;
      }
    });
  }
}

// For a pattern of up to three bytes whose first byte is not its last,
// every start that passes the filter is a match, and no two overlap.
TEST(ScanVersionsTest, PassingStartsAgreeWithTheReference) {
  const auto counts = VersionsOf<Isa::kAvx2, CountCandidatesFn>(
      CountCandidates, CountCandidatesSse2, "avx2",
      [] { return CountCandidatesAvx2; });
  const auto collects = VersionsOf<Isa::kAvx2, CollectCandidatesFn>(
      CollectCandidates, CollectCandidatesSse2, "avx2",
      [] { return CollectCandidatesAvx2; });
  ForRandomTexts(4, [&](const char* s, std::string_view rest) {
    for (const std::string pattern : {"a", "\xFF\x80", "ab\x80"}) {
      if (pattern.size() > rest.size()) continue;
      const auto filter =
          StartFilter::For(s, rest.size(), pattern.data(), pattern.size());
      const size_t from = rest.size() / 3;
      const std::vector<size_t> expected =
          reference::NaiveMatches(rest, pattern, from);
      for (const auto& count : counts) {
        ASSERT_EQ(count.fn(filter, from), expected.size()) << count.name;
      }
      for (const auto& collect : collects) {
        std::vector<size_t> out(7 + kCollectSlack);
        std::vector<size_t> collected;
        for (size_t scan = from; scan <= filter.last_start;) {
          size_t found = collect.fn(filter, &scan, 7, out.data());
          collected.insert(collected.end(), out.begin(), out.begin() + found);
        }
        ASSERT_EQ(collected, expected) << collect.name;
      }
    }
  });
}

TEST(ScanVersionsTest, ShortMatchesAgreeWithTheReference) {
  const auto short_match_scans = VersionsOf<Isa::kAvx2, ShortMatchesFn>(
      ScanShortMatches, ScanShortMatchesSse2, "avx2",
      [] { return ScanShortMatchesAvx2; });
  ForRandomTexts(5, [&](const char* s, std::string_view rest) {
    for (const std::string pattern : {"ab", "\xFF\x80", "ab\x80"}) {
      const std::vector<size_t> expected =
          reference::NaiveMatches(rest, pattern, 0);
      for (const auto& scan : short_match_scans) {
        std::vector<size_t> out(1024 + kShortMatchSlack);
        ShortMatches found = scan.fn(s, pattern, out.data(), 1024);
        ASSERT_EQ(found.length, rest.size()) << scan.name;
        ASSERT_EQ(found.count, expected.size()) << scan.name;
        ASSERT_EQ(found.stored, expected.size()) << scan.name;
        out.resize(found.stored);
        ASSERT_EQ(out, expected) << scan.name;
      }
    }
  });
}

// The map writes exactly `count` bytes: its output ends on the last byte
// before an unreadable page too.
TEST(ScanVersionsTest, CaseMapsAgreeWithTheReference) {
  const auto case_maps = VersionsOf<Isa::kAvx2, CaseMapFn>(
      MapLetterCase, MapLetterCaseSse2, "avx2",
      [] { return MapLetterCaseAvx2; });
  GuardedPage out_page;
  std::string every_byte_but_nul;
  for (int byte = 1; byte < 256; ++byte) {
    every_byte_but_nul += static_cast<char>(byte);
  }
  ForRandomTexts(
      6,
      [&](const char* s, std::string_view rest) {
        const auto* in = reinterpret_cast<const unsigned char*>(s);
        auto* out =
            reinterpret_cast<unsigned char*>(out_page.Tail(rest.size()));
        std::string_view mapped(out_page.Tail(rest.size()), rest.size());
        for (const auto& map : case_maps) {
          map.fn(in, out, rest.size(), 'a');
          ASSERT_EQ(mapped, reference::Upper(rest)) << map.name;
          map.fn(in, out, rest.size(), 'A');
          ASSERT_EQ(mapped, reference::Lower(rest)) << map.name;
        }
      },
      every_byte_but_nul);
}

}  // namespace
}  // namespace vellum
