// The scans run on strings that end on the last byte of a page followed by
// a page that cannot be read, and on strings that start a page preceded by
// one: a read past the terminator or before the first block faults at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/search/search_commands.h"
#include "scan/byte_scan.h"
#include "scan/set_scan.h"
#include "scan/string_compare.h"
#include "tests/unit/guarded_page.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

// Lengths that put the terminator at every offset of a 16- or 32-byte block,
// the first byte at every alignment, with and without whole rounds.
std::vector<size_t> Lengths() {
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 80; ++n) lengths.push_back(n);
  // The longest, with the 90 bytes that the compare test adds to it, still
  // fits in a page.
  for (size_t n : {127u, 128u, 129u, 1000u, 4000u}) lengths.push_back(n);
  return lengths;
}

// Calls check(text) for a text of `n` copies of `fill`, for each `n` of
// Lengths().
template <class Check>
void ForEachLength(char fill, Check check) {
  for (size_t n : Lengths()) {
    SCOPED_TRACE("length " + std::to_string(n));
    check(std::string(n, fill));
  }
}

TEST(SearchGuardTest, ByteAndSetScansStopAtTheTerminator) {
  using FindByteFn = const char* (*)(const char*, char);
  using FindEitherFn = const char* (*)(const char*, char, char);
  const auto finds = VersionsOf<Isa::kAvx2, FindByteFn>(
      FindByte, FindByteSse2, "avx2", [] { return FindByteAvx2; });
  const auto either_finds = VersionsOf<Isa::kAvx2, FindEitherFn>(
      FindEitherByte, FindEitherByteSse2, "avx2",
      [] { return FindEitherByteAvx2; });
  GuardedPage source_page;
  GuardedPage set_page;
  ForEachLength('a', [&](std::string text) {
    const size_t n = text.size();
    for (const char* s : {source_page.AtEnd(text), source_page.AtStart(text)}) {
      for (size_t from = 0; from <= n; from += (n > 40 ? 37 : 1)) {
        for (const auto& find : finds) {
          EXPECT_EQ(find.fn(s + from, 'b'), nullptr) << find.name;
        }
        for (const auto& find : either_finds) {
          EXPECT_EQ(find.fn(s + from, 'b', '\xFF'), nullptr) << find.name;
        }
        for (const char* set : {"bcd", "bcdefghijk", "bcdefghijklmnopqrstu"}) {
          EXPECT_EQ(FindAnyByte(s + from, set_page.AtEnd(set)), nullptr);
        }
      }
    }
    if (n == 0) return;
    text.back() = 'z';
    const char* s = source_page.AtEnd(text);
    for (const auto& find : finds) {
      EXPECT_EQ(find.fn(s, 'z'), s + n - 1) << find.name;
    }
    for (const auto& find : either_finds) {
      EXPECT_EQ(find.fn(s, 'z', 'y'), s + n - 1) << find.name;
    }
    EXPECT_EQ(FindAnyByte(s, set_page.AtEnd("xyz")), s + n - 1);
    EXPECT_EQ(FindAnyByte(s, set_page.AtEnd("bcdefghijklmnopqrstuvwxyz")),
              s + n - 1);
  });
}

TEST(SearchGuardTest, CompareStopsAtTheTerminator) {
  using CompareFn = int (*)(const char*, const char*);
  const auto compares = VersionsOf<Isa::kAvx2, CompareFn>(
      CompareSignedBytes, CompareSignedBytesSse2, "avx2",
      [] { return CompareSignedBytesAvx2; });
  GuardedPage first_page;
  GuardedPage second_page;
  ForEachLength('q', [&](const std::string& text) {
    for (size_t shift : {0u, 1u, 5u, 16u, 31u, 64u, 90u}) {
      // Equal strings, one against the end of its page and the other
      // further from it, so their page ends fall at different points.
      const char* a = first_page.AtEnd(text);
      const char* b = second_page.AtEnd(text + std::string(shift, 'q'));
      for (const auto& compare : compares) {
        EXPECT_EQ(compare.fn(a, b), shift == 0 ? 0 : -1) << compare.name;
        EXPECT_EQ(compare.fn(b, a), shift == 0 ? 0 : 1) << compare.name;
      }
    }
    const char* a = first_page.AtEnd(text);
    const char* b = second_page.AtStart(text);
    for (const auto& compare : compares) {
      EXPECT_EQ(compare.fn(a, b), 0) << compare.name;
    }
  });
}

TEST(SearchGuardTest, CommandsReadNoFurtherThanTheTerminator) {
  GuardedPage source_page;
  GuardedPage search_page;
  ForEachLength('a', [&](const std::string& text) {
    const size_t n = text.size();
    const char* s = source_page.AtEnd(text);
    const char* absent = search_page.AtEnd("ab");
    const int32_t past_end = static_cast<int32_t>(n) + 1;
    EXPECT_EQ(Instr_2(s, absent), 0);
    EXPECT_EQ(Instr_3(s, absent, past_end), 0);
    EXPECT_EQ(Instr_3(s, absent, 2147483647), 0);
    EXPECT_EQ(FindChar_3(s, search_page.AtEnd("xyz"), past_end), 0);
    EXPECT_EQ(FindAsc_3(s, 'b', 2147483647), 0);
    EXPECT_EQ(ReverseInstr(s, absent), 0);
    EXPECT_EQ(CountString(s, absent), 0);
    EXPECT_EQ(MidAsc(s, 2147483647), 0);
    EXPECT_EQ(Compare(s, search_page.AtStart(text)), 0);
  });
}

// A search string is measured from its aligned blocks wherever it lies, and
// loaded whole only when it is in reach: at either edge of a page, a search
// string of every length finds every match of a short source, and one
// longer than the source finds none.
TEST(SearchGuardTest, SearchStringsAtPageEdgesFindTheirMatches) {
  GuardedPage source_page;
  GuardedPage search_page;
  const std::string half = "abcdefghijklmn";
  const std::string text = "x" + half + half;
  const int32_t second = static_cast<int32_t>(1 + half.size()) + 1;
  for (const char* s : {source_page.AtEnd(text), source_page.AtStart(text)}) {
    for (size_t m = 1; m <= half.size(); ++m) {
      const std::string word = half.substr(0, m);
      SCOPED_TRACE("search string of " + std::to_string(m) + " bytes");
      for (const char* search :
           {search_page.AtEnd(word), search_page.AtStart(word)}) {
        EXPECT_EQ(Instr_2(s, search), 2);
        EXPECT_EQ(Instr_3(s, search, 3), second);
        EXPECT_EQ(Instr_2(s + second - 1, search), 1);
        EXPECT_EQ(ReverseInstr(s, search), second);
        EXPECT_EQ(CountString(s, search), 2);
      }
    }
    const std::string longer = text + "y";
    for (const char* search :
         {search_page.AtEnd(longer), search_page.AtStart(longer)}) {
      EXPECT_EQ(Instr_2(s, search), 0);
      EXPECT_EQ(ReverseInstr(s, search), 0);
      EXPECT_EQ(CountString(s, search), 0);
    }
  }
}

}  // namespace
}  // namespace vellum
