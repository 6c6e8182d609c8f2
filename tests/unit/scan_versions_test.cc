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

template <class Fn>
struct Version {
  const char* name;
  Fn fn;
};

template <class Fn>
using Versions = std::vector<Version<Fn>>;

using FindByteFn = const char* (*)(const char*, char);
using FindEitherFn = const char* (*)(const char*, char, char);
using FindAnyFn = const char* (*)(const char*, std::string_view);
using CompareFn = int (*)(const char*, const char*);
using ShortMatchesFn = ShortMatches (*)(const char*, std::string_view, size_t*,
                                        size_t);
using CaseMapFn = void (*)(const unsigned char*, unsigned char*, size_t,
                           unsigned char);

// Each list holds the dispatcher, the SSE2 version, and the versions above
// it that this build holds and this processor runs.
Versions<FindByteFn> ByteScans() {
  Versions<FindByteFn> versions = {{"dispatcher", FindByte},
                                   {"sse2", FindByteSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) versions.push_back({"avx2", FindByteAvx2});
  }
  return versions;
}

Versions<FindEitherFn> EitherByteScans() {
  Versions<FindEitherFn> versions = {{"dispatcher", FindEitherByte},
                                     {"sse2", FindEitherByteSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) versions.push_back({"avx2", FindEitherByteAvx2});
  }
  return versions;
}

// The SSE4.2 set scan takes at most 16 distinct members; the tests below
// give it no more.
Versions<FindAnyFn> SetScans() {
  Versions<FindAnyFn> versions = {{"dispatcher", FindAnyByte},
                                  {"sse2", FindAnyByteSse2}};
  if constexpr (kBuiltIsa >= Isa::kSse42) {
    if (RunsHere(Isa::kSse42)) versions.push_back({"sse42", FindAnyByteSse42});
  }
  return versions;
}

Versions<CompareFn> Compares() {
  Versions<CompareFn> versions = {{"dispatcher", CompareSignedBytes},
                                  {"sse2", CompareSignedBytesSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) {
      versions.push_back({"avx2", CompareSignedBytesAvx2});
    }
  }
  return versions;
}

Versions<CollectCandidatesFn> Collects() {
  Versions<CollectCandidatesFn> versions = {{"dispatcher", CollectCandidates},
                                            {"sse2", CollectCandidatesSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2))
      versions.push_back({"avx2", CollectCandidatesAvx2});
  }
  return versions;
}

Versions<CountCandidatesFn> Counts() {
  Versions<CountCandidatesFn> versions = {{"dispatcher", CountCandidates},
                                          {"sse2", CountCandidatesSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) versions.push_back({"avx2", CountCandidatesAvx2});
  }
  return versions;
}

Versions<ShortMatchesFn> ShortMatchScans() {
  Versions<ShortMatchesFn> versions = {{"dispatcher", ScanShortMatches},
                                       {"sse2", ScanShortMatchesSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) {
      versions.push_back({"avx2", ScanShortMatchesAvx2});
    }
  }
  return versions;
}

Versions<CaseMapFn> CaseMaps() {
  Versions<CaseMapFn> versions = {{"dispatcher", MapLetterCase},
                                  {"sse2", MapLetterCaseSse2}};
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (RunsHere(Isa::kAvx2)) versions.push_back({"avx2", MapLetterCaseAvx2});
  }
  return versions;
}

// Lengths that put the terminator at every offset of a 64-byte line, some
// with whole rounds of the widest loops (256 bytes) before it.
std::vector<size_t> Lengths() {
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 140; ++n) lengths.push_back(n);
  for (size_t n : {255u, 256u, 257u, 600u}) lengths.push_back(n);
  return lengths;
}

// Random bytes over a few values, the high ones among them, so that
// matches and near matches are common; no NUL.
std::string RandomText(std::mt19937& random, size_t size) {
  static const char kBytes[] = "ab\x80\xFF";
  std::string text(size, ' ');
  for (char& c : text) c = kBytes[random() % 4];
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

size_t OffsetOf(const char* base, const char* hit) {
  return hit ? static_cast<size_t>(hit - base) : kNotFound;
}

TEST(ScanVersionsTest, ByteScansAgreeWithTheReference) {
  GuardedPage page;
  std::mt19937 random(1);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    const std::string text = RandomText(random, n);
    AtEveryAlignment(page, text, [&](const char* s, std::string_view rest) {
      for (char byte : {'a', '\xFF', 'z'}) {
        size_t expected = reference::NaiveFind(rest, {&byte, 1}, 0);
        for (const auto& scan : ByteScans()) {
          ASSERT_EQ(OffsetOf(s, scan.fn(s, byte)), expected) << scan.name;
        }
      }
      for (const char* pair : {"b\x80", "zy", "\xFFq"}) {
        size_t expected = reference::NaiveFindAny(rest, pair);
        for (const auto& scan : EitherByteScans()) {
          ASSERT_EQ(OffsetOf(s, scan.fn(s, pair[0], pair[1])), expected)
              << scan.name;
        }
      }
    });
  }
}

TEST(ScanVersionsTest, SetScansAgreeWithTheReference) {
  GuardedPage page;
  std::mt19937 random(2);
  // Sets of one to sixteen members, with members that never occur.
  const std::vector<std::string> sets = {
      "\x80", "zb", "xyz\xFF", "0123456789ABCDEa", "0123456789ABCDEF"};
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    const std::string text = RandomText(random, n);
    AtEveryAlignment(page, text, [&](const char* s, std::string_view rest) {
      for (const std::string& set : sets) {
        size_t expected = reference::NaiveFindAny(rest, set);
        for (const auto& scan : SetScans()) {
          ASSERT_EQ(OffsetOf(s, scan.fn(s, set)), expected)
              << scan.name << ", set " << set;
        }
      }
    });
  }
}

// The second string is the first with its end changed, or the same, and
// lies against the end of a page of its own: the two walks then reach their
// page ends at different points.
TEST(ScanVersionsTest, ComparesAgreeWithTheReference) {
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
      for (const auto& compare : Compares()) {
        ASSERT_EQ(compare.fn(a, b_rest), expected) << compare.name;
        ASSERT_EQ(compare.fn(b_rest, a), -expected) << compare.name;
      }
    });
  }
}

// For a pattern of up to three bytes whose first byte is not its last,
// every start that passes the filter is a match, and no two overlap.
TEST(ScanVersionsTest, PassingStartsAgreeWithTheReference) {
  GuardedPage page;
  std::mt19937 random(4);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    const std::string text = RandomText(random, n);
    AtEveryAlignment(page, text, [&](const char* s, std::string_view rest) {
      for (const std::string pattern : {"a", "\xFF\x80", "ab\x80"}) {
        if (pattern.size() > rest.size()) continue;
        const auto filter =
            StartFilter::For(s, rest.size(), pattern.data(), pattern.size());
        const size_t from = rest.size() / 3;
        const std::vector<size_t> expected =
            reference::NaiveMatches(rest, pattern, from);
        for (const auto& count : Counts()) {
          ASSERT_EQ(count.fn(filter, from), expected.size()) << count.name;
        }
        for (const auto& collect : Collects()) {
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
}

TEST(ScanVersionsTest, ShortMatchesAgreeWithTheReference) {
  GuardedPage page;
  std::mt19937 random(5);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    const std::string text = RandomText(random, n);
    AtEveryAlignment(page, text, [&](const char* s, std::string_view rest) {
      for (const std::string pattern : {"ab", "\xFF\x80", "ab\x80"}) {
        const std::vector<size_t> expected =
            reference::NaiveMatches(rest, pattern, 0);
        for (const auto& scan : ShortMatchScans()) {
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
}

// The map writes exactly `count` bytes: its output ends on the last byte
// before an unreadable page too.
TEST(ScanVersionsTest, CaseMapsAgreeWithTheReference) {
  GuardedPage page;
  GuardedPage out_page;
  std::mt19937 random(6);
  std::string letters;
  for (int byte = 1; byte < 256; ++byte) letters += static_cast<char>(byte);
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    std::string text(n, ' ');
    for (char& c : text) c = letters[random() % letters.size()];
    AtEveryAlignment(page, text, [&](const char* s, std::string_view rest) {
      const auto* in = reinterpret_cast<const unsigned char*>(s);
      auto* out = reinterpret_cast<unsigned char*>(out_page.Tail(rest.size()));
      std::string_view mapped(out_page.Tail(rest.size()), rest.size());
      for (const auto& map : CaseMaps()) {
        map.fn(in, out, rest.size(), 'a');
        ASSERT_EQ(mapped, reference::Upper(rest)) << map.name;
        map.fn(in, out, rest.size(), 'A');
        ASSERT_EQ(mapped, reference::Lower(rest)) << map.name;
      }
    });
  }
}

}  // namespace
}  // namespace vellum
