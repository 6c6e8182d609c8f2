// REPLACE$, REPLACE ALL$, REMOVE ALL$, the trims and DELIMIT CSV$ against
// the plain references of tests/reference/edit_reference.h on random strings
// over small alphabets, where matches crowd, overlap and touch both ends.
#include <algorithm>
#include <optional>
#include <random>
#include <string>

#include "commands/edit/csv_quote.h"
#include "commands/edit/replace.h"
#include "commands/edit/trim.h"
#include "tests/reference/edit_reference.h"
#include "tests/unit/host_fixture.h"

namespace vellum::testing {
namespace {

using reference::Arg;
using reference::Ends;

const char* Ptr(const Arg& arg) { return arg ? arg->c_str() : nullptr; }

// REPLACE ALL$ and REMOVE ALL$ replace every occurrence.
constexpr size_t kNoLimit = std::string::npos;

class EditDifferentialTest : public HostTest {
 protected:
  static constexpr uint32_t kSeed = 20261206;

  // What a failing replace round prints: enough to rerun it by hand.
  static std::string ReplaceCase(const std::string& alphabet, int round,
                                 const Arg& source, const Arg& search,
                                 const Arg& insert) {
    return "seed " + std::to_string(kSeed) + " alphabet \"" + alphabet +
           "\" round " + std::to_string(round) + ": source \"" +
           source.value_or("<null>") + "\" search \"" +
           search.value_or("<null>") + "\" insert \"" +
           insert.value_or("<null>") + "\"";
  }

  // Null one time in ten, otherwise up to `longest` bytes of `alphabet`.
  Arg RandomArg(const std::string& alphabet, size_t longest) {
    if (random_() % 10 == 0) return std::nullopt;
    std::string text(random_() % (longest + 1), ' ');
    for (char& c : text) c = alphabet[random_() % alphabet.size()];
    return text;
  }

  std::mt19937 random_{kSeed};
};

constexpr const char* kAlphabets[] = {"ab", "aab ", "a\xff "};
constexpr int kRounds = 4000;

TEST_F(EditDifferentialTest, ReplaceAndRemoveMatchTheByteWalk) {
  for (const std::string alphabet : kAlphabets) {
    for (int round = 0; round < kRounds; ++round) {
      Arg source = RandomArg(alphabet, 16);
      Arg search = RandomArg(alphabet, 3);
      Arg insert = RandomArg(alphabet, 3);
      SCOPED_TRACE(ReplaceCase(alphabet, round, source, search, insert));
      // Each round is audited afresh, so the audit does not grow with it.
      FakeCoreBeginCall();
      EXPECT_EQ(FakeCoreTakeResult(ReplaceString(nullptr, Ptr(source),
                                                 Ptr(search), Ptr(insert))),
                reference::Replace(source, search, insert, 1).text);
      EXPECT_EQ(FakeCoreTakeResult(ReplaceStringAll(nullptr, Ptr(source),
                                                    Ptr(search), Ptr(insert))),
                reference::Replace(source, search, insert, kNoLimit).text);
      EXPECT_EQ(
          FakeCoreTakeResult(
              RemoveStringAll(nullptr, Ptr(source), Ptr(search))),
          reference::Replace(source, search, std::nullopt, kNoLimit).text);
      if (HasFailure()) return;
    }
  }
}

// Longer sources, so that the copying pass walks many blocks and batches
// of matches and copies short pieces with blocks that run past them, with
// inserts on both sides of the padded copy's size.
TEST_F(EditDifferentialTest, ReplaceAllOnLongSourcesMatchesTheByteWalk) {
  for (const std::string alphabet : kAlphabets) {
    for (int round = 0; round < kRounds / 8; ++round) {
      Arg source = RandomArg(alphabet, 700);
      Arg search = RandomArg(alphabet, 4);
      Arg insert = RandomArg(alphabet + "xy", 70);
      SCOPED_TRACE(ReplaceCase(alphabet, round, source, search, insert));
      FakeCoreBeginCall();
      EXPECT_EQ(FakeCoreTakeResult(ReplaceStringAll(nullptr, Ptr(source),
                                                    Ptr(search), Ptr(insert))),
                reference::Replace(source, search, insert, kNoLimit).text);
      if (HasFailure()) return;
    }
  }
}

// One-byte search strings with a one-byte insert or none run as vector
// passes: sources of every length up to a few blocks, with the byte at every
// density from never to every byte, high bytes among them.
TEST_F(EditDifferentialTest, OneByteReplaceAndRemoveMatchTheByteWalk) {
  const std::string bytes = "a\x80\xFF ";
  for (int round = 0; round < kRounds / 2; ++round) {
    size_t size = 1 + random_() % (round % 8 == 0 ? 1000 : 70);
    unsigned density = random_() % 5;  // in quarters: 0 never, 4 always
    char byte = bytes[random_() % bytes.size()];
    std::string source(size, ' ');
    for (char& c : source) {
      c = random_() % 4 < density ? byte : bytes[random_() % bytes.size()];
    }
    std::string search(1, byte);
    Arg insert = random_() % 2 ? Arg{std::string(1, bytes[random_() % 4])}
                               : std::nullopt;
    SCOPED_TRACE(ReplaceCase(bytes, round, source, search, insert));
    FakeCoreBeginCall();
    EXPECT_EQ(FakeCoreTakeResult(ReplaceStringAll(nullptr, source.c_str(),
                                                  search.c_str(), Ptr(insert))),
              reference::Replace(source, search, insert, kNoLimit).text);
    if (HasFailure()) return;
  }
}

// More matches than REPLACE ALL$ records in one walk, so that the copying
// walk goes on past the recorded ones: crowded, and spread with the last
// recorded match and the next at every distance.
TEST_F(EditDifferentialTest, ReplaceAllPastTheRecordedMatches) {
  for (const std::string unit : {"ab", "abx", "ab\xFF\xFF"}) {
    std::string source;
    while (source.size() < 60000) source += unit;
    for (const char* insert : {"", "-", "<ab>"}) {
      SCOPED_TRACE(unit + " -> " + insert);
      FakeCoreBeginCall();
      EXPECT_EQ(FakeCoreTakeResult(
                    ReplaceStringAll(nullptr, source.c_str(), "ab", insert)),
                reference::WalkReplace(source, "ab", insert, kNoLimit));
    }
  }
}

// DELIMIT CSV$ on sources of several blocks with quotes at every density:
// the count, the comma test and the doubling against a byte walk.
TEST_F(EditDifferentialTest, DelimitCsvMatchesTheByteWalk) {
  const std::string bytes = "\"a,\xFF";
  for (int round = 0; round < kRounds / 2; ++round) {
    size_t size = 1 + random_() % (round % 8 == 0 ? 1000 : 70);
    unsigned density = random_() % 5;
    std::string source(size, ' ');
    for (char& c : source) {
      c = random_() % 4 < density ? '"' : bytes[1 + random_() % 3];
    }
    if (round % 3 == 0) std::replace(source.begin(), source.end(), ',', 'a');
    int32_t force = static_cast<int32_t>(random_() % 2);
    SCOPED_TRACE(::testing::Message() << "round " << round << " source \""
                                      << source << "\" force " << force);
    FakeCoreBeginCall();
    EXPECT_EQ(
        FakeCoreTakeResult(DelimitCsvForce(nullptr, source.c_str(), force)),
        reference::DelimitCsv(source, force).text);
    if (HasFailure()) return;
  }
}

TEST_F(EditDifferentialTest, TrimsMatchStrippingByteByByte) {
  using TrimFn = HostString (*)(HostString, const char*);
  using TrimSetFn = HostString (*)(HostString, const char*, const char*);
  const struct {
    TrimFn spaces;
    TrimSetFn with_set;
    Ends ends;
  } kTrims[] = {{TrimLeft, TrimLeftChar, Ends::kStart},
                {TrimRight, TrimRightChar, Ends::kEnd},
                {Trim, TrimChar, Ends::kBoth}};
  for (const std::string alphabet : kAlphabets) {
    for (int round = 0; round < kRounds; ++round) {
      Arg source = RandomArg(alphabet, 12);
      Arg set = RandomArg(alphabet, 3);
      SCOPED_TRACE(::testing::Message()
                   << "seed " << kSeed << " alphabet \"" << alphabet
                   << "\" round " << round << ": source \""
                   << source.value_or("<null>") << "\" set \""
                   << set.value_or("<null>") << "\"");
      for (const auto& trim : kTrims) {
        FakeCoreBeginCall();
        EXPECT_EQ(FakeCoreTakeResult(trim.spaces(nullptr, Ptr(source))),
                  reference::Trim(source, " ", trim.ends).text);
        EXPECT_EQ(
            FakeCoreTakeResult(trim.with_set(nullptr, Ptr(source), Ptr(set))),
            reference::Trim(source, set.value_or(""), trim.ends).text);
      }
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vellum::testing
