// The emulator's patterns: the forms the case files and help examples use,
// with the meaning they have there, and the ones it refuses.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "emulator/case_file.h"
#include "emulator/host_stack.h"
#include "emulator/pattern.h"

namespace emulator {
namespace {

Pattern Make(const std::string& text) {
  std::string error;
  std::optional<Pattern> pattern = Pattern::Make(text, error);
  EXPECT_TRUE(pattern.has_value()) << text << ": " << error;
  return pattern ? std::move(*pattern) : *Pattern::Make("", error);
}

struct Case {
  const char* pattern;
  std::string subject;
  bool matches;
};

void ExpectResults(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Make(c.pattern).Matches(c.subject), c.matches)
        << c.pattern << " on " << Quote(c.subject);
  }
}

TEST(Pattern, MatchesTheWholeSubjectOnly) {
  ExpectResults({
      {"", "", true},
      {"", "a", false},
      {"abc", "abc", true},
      {"abc", "abcd", false},  // no search: the whole result must match
      {"abc", "xabc", false},
      {"a|ab", "ab", true},  // a shorter alternative does not end the match
      {"(a|ab)(c|bcd)", "abcd", true},
  });
}

TEST(Pattern, ReadsEscapesAndClassesAsBytes) {
  ExpectResults({
      {"tmp_[0-9a-zA-Z]{8}\\.dat", "tmp_a9Zq00xB.dat", true},
      {"tmp_[0-9a-zA-Z]{8}\\.dat", "tmp_a9Zq00xBxdat",
       false},  // \. is a dot only
      {"PIN: [0-9]{4} \\(4 digits\\)", "PIN: 0042 (4 digits)", true},
      {"[A-HJ-NP-Z2-9]{3}", "AZ9", true},
      {"[A-HJ-NP-Z2-9]{3}", "AI9", false},  // I is outside both ranges
      {"<[^%]+>", "</usr/bin>", true},
      {"<[^%]+>", "<%PATH%>", false},
      {"<[^%]+>", "<>", false},
      {"(\x80|\xFF){4}", "\x80\xFF\xFF\x80",
       true},  // raw bytes, as a case file gives them
      {"(\\x80|\\xff){2}", "\xFF\x80", true},    // written as escapes
      {"[\\x80-\\xFF]+", "\x80\xC3\xFF", true},  // ranges over unsigned bytes
      {"[\\x80-\\xFF]+", "\x80\x7F", false},
      {"[-a]+", "a-a", true},
      {"[a-]+", "-a", true},
      {"[\\]\\\\]+", "]\\", true},
      {"a\\tb\\nc\\rd\\\\", "a\tb\nc\rd\\", true},
      {".", "\xFF", true},
      {".", "\n", false},
      {"\"(\"\"){2}\"", "\"\"\"\"\"\"", true},
      {"a]}", "a]}", true},  // a lone ] or } is itself
  });
}

TEST(Pattern, CountsRepetitionsExactly) {
  ExpectResults({
      {"x{3}", "xx", false},
      {"x{3}", "xxx", true},
      {"x{3}", "xxxx", false},
      {"x{2,}", "x", false},
      {"x{2,}", "xxxxx", true},
      {"x{1,3}", "", false},
      {"x{1,3}", "xxx", true},
      {"x{1,3}", "xxxx", false},
      {"x{0}", "", true},
      {"(axyz){3}", "axyzaxyzaxyz", true},
      {"(axyz){3}", "axyzaxyzaxy", false},
      {"a*b+c?", "b", true},
      {"a*b+c?", "aabbc", true},
      {"a*b+c?", "aac", false},
      {"(a*)*", "aaaa", true},  // an empty loop body ends instead of spinning
      {"(|a)+b", "aab", true},
  });
}

TEST(Pattern, RefusesFormsItDoesNotKnow) {
  const char* const refused[] = {
      "a**",    "*a",    "a{",   "a{2",         "a{,2}",
      "a{3,2}", "a{x}",  "(ab",  "ab)",         "[ab",
      "[]",     "[z-a]", "\\d",  "\\w",         "\\x8",
      "\\",     "^abc",  "abc$", "a{99999999}", "(x{1000}){10000}",
  };
  for (const char* text : refused) {
    std::string error;
    EXPECT_FALSE(Pattern::Make(text, error).has_value()) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  std::string deep(1000, '(');
  std::string error;
  EXPECT_FALSE(
      Pattern::Make(deep + "a" + std::string(1000, ')'), error).has_value());
}

// Alternatives that overlap would make a backtracking matcher take time
// exponential in the subject's length.
TEST(Pattern, TakesLinearTimeOnOverlappingAlternatives) {
  std::string subject(5000, 'a');
  EXPECT_FALSE(Make("(a|a)*(a*)*b").Matches(subject));
  EXPECT_TRUE(Make("(a|aa)*").Matches(subject));
}

// The result that overflowed the host's stack with a recursive matcher, at
// 25 times its length, on a stack of the host's size.
TEST(Pattern, MatchesAMegabyteOnTheHostsStack) {
  std::string subject(1'000'000, 'x');
  int matched = RunOnHostStack([&] {
    return Make("x{1000000}").Matches(subject) +
           2 * Make("(x|y)*").Matches(subject) +
           4 * !Make("x{999999}").Matches(subject);
  });
  EXPECT_EQ(matched, 7);
}

}  // namespace
}  // namespace emulator
