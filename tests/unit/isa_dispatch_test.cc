// The dispatchers choose no version above what the build holds, whatever
// the processor offers. The choice is made once; here it is set to each
// instruction set in turn, as each kind of processor would have it made,
// and every dispatcher must still answer as the references do. A build
// capped below a set holds none of its versions, so with the choice set
// above the cap a dispatcher that reached one would fault on a processor
// without it (tests/check_isa_cap.sh shows the capped module holds no such
// instruction at all).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "commands/chars/case_map.h"
#include "scan/byte_scan.h"
#include "scan/cpu_features.h"
#include "scan/set_scan.h"
#include "scan/short_matches.h"
#include "scan/string_compare.h"
#include "scan/string_search.h"
#include "tests/reference/chars_reference.h"
#include "tests/reference/search_reference.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

TEST(IsaDispatchTest, ChoosesTheHighestSetBothBuildAndProcessorAllow) {
  EXPECT_EQ(ChosenIsa(), std::min(OfferedIsa(), kBuiltIsa));
  EXPECT_LE(ChosenIsa(), kBuiltIsa);
}

TEST(IsaDispatchTest, EveryDispatcherAnswersAlikeWhateverTheChoice) {
  // Long enough for every version's widest rounds; matches throughout.
  std::string text;
  while (text.size() < 3000) text += "The quick brown fox, \xE9t\xE9; ";
  const std::string other = text.substr(0, 2000) + "x";
  for (Isa isa : {Isa::kSse2, Isa::kSse42, Isa::kAvx2}) {
    // A set above the build's cap is safe to choose whatever the processor,
    // since nothing of it is there to run; one within the cap only where
    // the processor has it.
    if (isa <= kBuiltIsa && isa > OfferedIsa()) continue;
    SCOPED_TRACE("choice " + std::to_string(static_cast<int>(isa)));
    ChoiceSetTo choice(isa);
    const char* s = text.c_str();
    EXPECT_EQ(StringLength(s), text.size());
    EXPECT_EQ(BoundedLength(s, 1000), 1000u);
    EXPECT_EQ(FindByteWithin(s, text.size(), ';') - s,
              static_cast<ptrdiff_t>(text.find(';')));
    EXPECT_EQ(FindByte(s, ';') - s, static_cast<ptrdiff_t>(text.find(';')));
    EXPECT_EQ(FindByte(s, '#'), nullptr);
    EXPECT_EQ(FindEitherByte(s, ';', ',') - s,
              static_cast<ptrdiff_t>(text.find(',')));
    EXPECT_EQ(FindAnyByte(s, "#;,") - s,
              static_cast<ptrdiff_t>(reference::NaiveFindAny(text, "#;,")));
    EXPECT_EQ(CompareSignedBytes(s, other.c_str()),
              reference::NaiveCompare(text, other));
    EXPECT_EQ(CountStrings(text, "fox"), reference::NaiveCount(text, "fox"));
    EXPECT_EQ(CountStrings(text, "o"), reference::NaiveCount(text, "o"));
    EXPECT_EQ(FindString(text, "\xE9; T", 100),
              reference::NaiveFind(text, "\xE9; T", 100));
    size_t offsets[64 + kShortMatchSlack];
    ShortMatches found = ScanShortMatches(s, "ox", offsets, 64);
    EXPECT_EQ(found.length, text.size());
    EXPECT_EQ(found.count, reference::NaiveCount(text, "ox"));
    std::string upper(text.size(), '\0');
    MapLetterCase(reinterpret_cast<const unsigned char*>(s),
                  reinterpret_cast<unsigned char*>(upper.data()), text.size(),
                  'a');
    EXPECT_EQ(upper, reference::Upper(text));
  }
}

}  // namespace
}  // namespace vellum
