// The inline paths for short strings against the plain references, with
// each string placed at every distance from the end of a page that is
// followed by one that cannot be read. The paths read up to 64 bytes from a
// string's first byte and leave strings nearer a page end to the long
// scans, so the distances cross that edge; the bytes after each terminator
// repeat the search string, so that a bit past the end left unmasked shows
// as a false match.
#include "scan/short_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "commands/chars/fast_commands.h"
#include "commands/edit/pad.h"
#include "commands/edit/replace.h"
#include "commands/edit/section_edit.h"
#include "commands/search/search_commands.h"
#include "tests/reference/edit_reference.h"
#include "tests/reference/search_reference.h"
#include "tests/unit/guarded_page.h"
#include "tests/unit/host_fixture.h"
#include "tests/unit/isa_versions.h"

namespace vellum::testing {
namespace {

// The last bytes of a page, where a string is placed `distance` bytes before
// the page's end (its terminator included) and the rest of the page filled
// with repeats of `filler`.
class PageTail {
 public:
  const char* Place(const std::string& text, size_t distance,
                    const std::string& filler) {
    char* start = page_.Tail(distance);
    std::memcpy(start, text.c_str(), text.size() + 1);
    for (size_t i = text.size() + 1; i < distance; ++i) {
      start[i] = filler.empty() ? 'a' : filler[i % filler.size()];
    }
    return start;
  }

 private:
  GuardedPage page_;
};

std::string Random(std::mt19937& random, const std::string& alphabet,
                   size_t size) {
  std::string text(size, ' ');
  for (char& c : text) c = alphabet[random() % alphabet.size()];
  return text;
}

// Sources up to past the short length, at distances from the page end
// across the reach of the inline loads and beyond.
constexpr size_t kLongestSource = 40;
constexpr size_t kFarthest = 140;

// The searches' short paths have a version for each instruction set;
// each is run where this processor runs it.
class ShortSearchTest : public ::testing::TestWithParam<Isa> {
 protected:
  void SetUp() override {
    if (!RunsHere(GetParam())) GTEST_SKIP() << "not run by this processor";
  }
  ChoiceSetTo choice_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EveryIsa, ShortSearchTest,
                         ::testing::Values(Isa::kSse2, Isa::kAvx2));

TEST_P(ShortSearchTest, SearchCommandsMatchReferenceNearAPageEnd) {
  std::mt19937 random(20261207);
  PageTail source_page;
  PageTail search_page;
  const std::string alphabets[] = {"ab", "a\xFF", "abc "};
  for (size_t n = 0; n <= kLongestSource; ++n) {
    const std::string& alphabet = alphabets[n % 3];
    std::string text = Random(random, alphabet, n);
    std::string search = Random(random, alphabet, 1 + random() % 5);
    for (size_t distance = n + 1; distance <= kFarthest; ++distance) {
      SCOPED_TRACE("text \"" + text + "\" search \"" + search + "\" distance " +
                   std::to_string(distance));
      const char* s = source_page.Place(text, distance, search);
      // The search string's own distance varies with the source's.
      const char* p = search_page.Place(
          search, search.size() + 1 + (distance * 7) % 90, text);
      EXPECT_EQ(FastLen(s), static_cast<int32_t>(n));
      EXPECT_EQ(Instr_2(s, p), reference::Instr(text, search, 1));
      for (int32_t start : {2, 3, static_cast<int32_t>(n) + 1}) {
        EXPECT_EQ(Instr_3(s, p, start), reference::Instr(text, search, start));
        EXPECT_EQ(FindChar_3(s, p, start),
                  reference::FindChar(text, search, start));
      }
      EXPECT_EQ(ReverseInstr(s, p),
                reference::Position(reference::NaiveFindLast(text, search)));
      EXPECT_EQ(CountString(s, p),
                static_cast<int32_t>(reference::NaiveCount(text, search)));
      EXPECT_EQ(FindChar_2(s, p), reference::FindChar(text, search, 1));
      const auto code = static_cast<unsigned char>(search.back());
      EXPECT_EQ(FindAsc_2(s, code), reference::FindAscii(text, code, 1));
      EXPECT_EQ(FindAsc_3(s, code, 2), reference::FindAscii(text, code, 2));
      EXPECT_EQ(Compare(s, p), reference::NaiveCompare(text, search));
      EXPECT_EQ(Compare(s, s + n), n == 0 ? 0 : text[0] < 0 ? -1 : 1);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// Sets on both sides of the most members the short paths compare inline,
// each placed so that its last member ends a page: a set read past its
// terminator faults, and one read short of it misses a member.
TEST_P(ShortSearchTest, SetsOfEverySizeMatchReference) {
  PageTail source_page;
  PageTail set_page;
  const std::string members = "abcdefghijklmnopqrstu";
  for (size_t size = 0; size <= members.size(); ++size) {
    // The set's last member is the one that the source holds.
    const std::string set = members.substr(members.size() - size);
    const std::string text = "-----" + (size > 0 ? set.substr(size - 1) : "") +
                             "+++" + members.substr(0, 2);
    SCOPED_TRACE("set of " + std::to_string(size));
    const char* s = source_page.Place(text, 100, "x");
    const char* p = set_page.Place(set, set.size() + 1, "");
    EXPECT_EQ(FindChar_2(s, p), reference::FindChar(text, set, 1));
    EXPECT_EQ(FindChar_3(s, p, 3), reference::FindChar(text, set, 3));
  }
}

// A text of repeats of the search string's first byte: every start passes
// the first-byte test, and the compares decide.
TEST_P(ShortSearchTest, CrowdedStartsMatchReference) {
  PageTail source_page;
  PageTail search_page;
  for (size_t n = 1; n < short_text::kSpan; ++n) {
    std::string text(n, 'a');
    text[n / 2] = 'b';
    for (const std::string search : {"aa", "aab", "aaaa", "aba", "ab"}) {
      SCOPED_TRACE("text \"" + text + "\" search \"" + search + "\"");
      const char* s = source_page.Place(text, 100, "a");
      const char* p = search_page.Place(search, 70, "a");
      EXPECT_EQ(Instr_2(s, p), reference::Instr(text, search, 1));
      EXPECT_EQ(ReverseInstr(s, p),
                reference::Position(reference::NaiveFindLast(text, search)));
      EXPECT_EQ(CountString(s, p),
                static_cast<int32_t>(reference::NaiveCount(text, search)));
    }
  }
}

TEST(ShortTextTest, CopyAndFillWriteExactlyTheirBytes) {
  std::vector<char> from(80);
  for (size_t i = 0; i < from.size(); ++i) from[i] = static_cast<char>(i + 1);
  for (size_t size = 0; size <= 70; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::vector<char> copied(size + 2, '#');
    short_text::Copy(copied.data() + 1, from.data(), size);
    std::vector<char> filled(size + 2, '#');
    short_text::Fill(filled.data() + 1, '=', size);
    EXPECT_EQ(copied.front(), '#');
    EXPECT_EQ(copied.back(), '#');
    EXPECT_EQ(std::memcmp(copied.data() + 1, from.data(), size), 0);
    EXPECT_EQ(filled.front(), '#');
    EXPECT_EQ(filled.back(), '#');
    EXPECT_EQ(std::string(filled.data() + 1, size), std::string(size, '='));
  }
}

class ShortEditTest : public HostTest {};

// The editing commands that measure inline and copy without a call, on
// sources near a page end; REPLACE ALL$ and REMOVE ALL$ with sources on
// both sides of the 64 bytes that are searched in registers.
TEST_F(ShortEditTest, EditsMatchReferenceNearAPageEnd) {
  std::mt19937 random(20261208);
  PageTail source_page;
  for (size_t n = 0; n <= 70; ++n) {
    std::string text = Random(random, "abx", n);
    // Right at the page end, and on both sides of where the first and the
    // second 32 bytes after the source's start stop fitting in its page.
    for (size_t distance : {n + 1, n + 2, size_t{63}, size_t{64}, size_t{95},
                            size_t{96}, n + 130}) {
      if (distance <= n) continue;
      SCOPED_TRACE("text \"" + text + "\" distance " +
                   std::to_string(distance));
      // Each round is audited afresh, so the audit does not grow with it.
      FakeCoreBeginCall();
      const char* s = source_page.Place(text, distance, "ab");
      const int32_t k = static_cast<int32_t>((n + distance) % 23);
      reference::Arg source = text;
      EXPECT_EQ(FakeCoreTakeResult(Mid(nullptr, s, 2, k)),
                reference::Mid(source, 2, k).text);
      EXPECT_EQ(FakeCoreTakeResult(FastLeft(nullptr, s, k)),
                n == 0 || k == 0 ? reference::Arg()
                                 : reference::Arg(text.substr(0, k)));
      EXPECT_EQ(FakeCoreTakeResult(Insert(nullptr, s, k + 1, "xyz")),
                reference::Insert(source, k + 1, "xyz").text);
      EXPECT_EQ(FakeCoreTakeResult(PadLeft(nullptr, s, k + 20)),
                reference::Pad(source, " ", k + 20, reference::kStart).text);
      // Unbordered and bordered search strings, of one to five bytes.
      for (const char* search :
           {"ab", "ax", "abx", "b", "aa", "aba", "xabxa"}) {
        EXPECT_EQ(
            FakeCoreTakeResult(ReplaceStringAll(nullptr, s, search, "<>")),
            reference::Replace(source, search, "<>", std::string::npos).text);
        EXPECT_EQ(
            FakeCoreTakeResult(RemoveStringAll(nullptr, s, search)),
            reference::Replace(source, search, std::nullopt, std::string::npos)
                .text);
      }
      EXPECT_EQ(FakeCoreTakeResult(ReplaceString(nullptr, s, "bx", "-")),
                reference::Replace(source, "bx", "-", 1).text);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vellum::testing
