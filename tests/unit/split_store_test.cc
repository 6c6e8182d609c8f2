// The split store's life: what a split keeps, what running out of memory
// does to it, and the clean-ups that free it at unload.
#include "commands/split/split_store.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/split/csv_split.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"
#include "tests/unit/host_fixture.h"

namespace vellum::testing {
namespace {

class SplitStoreTest : public HostTest {};
using SplitStoreDeathTest = SplitStoreTest;  // run first, in child processes

TEST_F(SplitStoreTest, TwoArgumentCsvFormQuotesWithDoubleQuote) {
  SplitCsvString2("\"a;b\";'c;d'", ";");
  ASSERT_EQ(SplitCount(), 3);
  EXPECT_EQ(FakeCoreTakeResult(SplitWord(nullptr, 1)), "a;b");
  EXPECT_EQ(FakeCoreTakeResult(SplitWord(nullptr, 2)), "'c");
  SplitCsvString2("a,\"b,c\"", nullptr);
  ASSERT_EQ(SplitCount(), 2);
  EXPECT_EQ(FakeCoreTakeResult(SplitWord(nullptr, 2)), "b,c");
  EXPECT_EQ(SplitWordStart(2), 4);
}

TEST_F(SplitStoreTest, SmallSplitsReuseStorageAndWordsAreOffsetsIntoIt) {
  std::string longer(5000, 'x');
  longer[100] = ',';
  SplitString(longer.c_str(), ",");
  const char* storage = SplitBuffer().data();
  SplitCsvString("p, q");
  EXPECT_EQ(SplitBuffer().data(), storage);
  ASSERT_EQ(SplitWords().size(), 2u);
  EXPECT_EQ(SplitWords().start(0), 0u);
  EXPECT_EQ(SplitWords().start(1), 3u);
  EXPECT_EQ(SplitWords().delimiter(0), ',');
  EXPECT_EQ(SplitWords().delimiter(1), '\0');
  // A null source forgets the words; a buffer this small stays.
  SplitString(nullptr, nullptr);
  EXPECT_TRUE(SplitWords().empty());
  EXPECT_EQ(SplitBuffer().data(), storage);
}

TEST_F(SplitStoreTest, LastCsvWordKeepsSeparatorThatNoQueryReports) {
  SplitCsvString("\"a\",");
  ASSERT_EQ(SplitCount(), 1);
  EXPECT_EQ(SplitWords().delimiter(0), ',');
  EXPECT_EQ(SplitDelimiter(nullptr, 1), nullptr);
  EXPECT_EQ(ErrorWord(), 0);
}

// A word's length comes from the store: the next word's start less the
// word's slack, the bytes the split dropped after it. A slack too large for
// its byte is measured instead; both sides of that edge give the word.
TEST_F(SplitStoreTest, WordsKeepTheirTextWhateverTheSplitDroppedAfterThem) {
  struct Case {
    std::string source;
    std::vector<std::string> words;
    uint8_t first_slack;
  };
  const std::string quotes(600, '"');  // 300 doubled quotes
  const Case cases[] = {
      {"a" + std::string(253, ' ') + ",b", {"a", "b"}, 254},
      {"a" + std::string(254, ' ') + ",b", {"a", "b"}, kSlackUnknown},
      {"\"x" + quotes + "\",y",
       {"x" + std::string(300, '"'), "y"},
       kSlackUnknown},
      {"\"a\"" + std::string(300, 'z') + ",b", {"a", "b"}, kSlackUnknown},
      {"a,b" + std::string(300, ' '), {"a", "b"}, 1},
      {"\"a" + quotes, {"a" + std::string(300, '"')}, kSlackUnknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source.substr(0, 8));
    SplitCsvString(c.source.c_str());
    ASSERT_EQ(SplitCount(), static_cast<int32_t>(c.words.size()));
    EXPECT_EQ(SplitWords().slack(0), c.first_slack);
    for (size_t n = 1; n <= c.words.size(); ++n) {
      EXPECT_EQ(FakeCoreTakeResult(SplitWord(nullptr, static_cast<int32_t>(n))),
                c.words[n - 1]);
    }
  }
}

// A source of separators only is the store's worst case: a word per byte.
// Both splitters size the records once, from a count of separators, and a
// later split gives back all but a bounded spare.
TEST_F(SplitStoreTest, SeparatorsOnlyAndTheSpareKeptAfterwards) {
  constexpr size_t kSize = 4 << 20;
  const std::string separators(kSize, ',');
  const size_t need = kSize + 2 + (kSize + 1) * kSplitWordBytes;
  const size_t spare = 4 * StoreArray<char>::kSpareBytes;  // four arrays
  for (bool csv : {false, true}) {
    SCOPED_TRACE(csv ? "csv" : "delimiters");
    if (csv) {
      SplitCsvString(separators.c_str());
    } else {
      SplitString(separators.c_str(), ",;");
    }
    ASSERT_EQ(SplitCount(), static_cast<int32_t>(kSize + 1));
    EXPECT_EQ(SplitWords().start(kSize), kSize);
    EXPECT_EQ(SplitWordStart(kSize + 1), static_cast<int32_t>(kSize + 1));
    EXPECT_EQ(SplitDelimiter(nullptr, kSize + 1), nullptr);  // the last word
    EXPECT_EQ(FakeCoreTakeResult(SplitDelimiter(nullptr, kSize)), ",");
    EXPECT_LE(SplitStoreBytes(), need + spare);
    EXPECT_GE(SplitStoreBytes(), need - 1);

    SplitString("", ",");
    EXPECT_EQ(SplitCount(), 0);
    EXPECT_LE(SplitStoreBytes(), spare);
  }
  SplitString(separators.c_str(), ",");
  SplitString("a,b", ",");
  EXPECT_LE(SplitStoreBytes(), spare + 4 + 2 * kSplitWordBytes);
  EXPECT_EQ(SplitCount(), 2);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// Caps the address space of this (forked) process at what it uses now plus
// `headroom`, so that the next large growth of the store fails.
void LimitAddressSpace(size_t headroom) {
  unsigned long pages = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr || std::fscanf(statm, "%lu", &pages) != 1) std::exit(2);
  std::fclose(statm);
  rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
  rlimit cap{limit, limit};
  if (setrlimit(RLIMIT_AS, &cap) != 0) std::exit(2);
}

void Split(const std::string& source, bool csv) {
  if (csv) {
    SplitCsvString(source.c_str());
  } else {
    SplitString(source.c_str(), ",");
  }
}

// Runs in a child process: splits `source` with too little memory, and ends
// with 0 when the split came back with an empty store that holds no storage
// and the store still works afterwards.
void SplitUnderMemoryLimit(const std::string& source, size_t headroom,
                           bool csv) {
  SplitString("keep,me", ",");
  LimitAddressSpace(headroom);
  Split(source, csv);
  if (SplitCount() != 0 || SplitStoreBytes() != 0) std::_Exit(3);
  SplitString("a,b", ",");
  std::_Exit(SplitCount() == 2 ? 0 : 4);
}

TEST_F(SplitStoreDeathTest, OutOfMemoryForTheBufferLeavesStoreEmpty) {
  EXPECT_EXIT(
      SplitUnderMemoryLimit(std::string(64 << 20, 'x'), 16 << 20, false),
      ::testing::ExitedWithCode(0), "");
}

TEST_F(SplitStoreDeathTest, OutOfMemoryForTheWordsLeavesStoreEmpty) {
  // The copy fits; a record for each of eight million words does not.
  EXPECT_EXIT(SplitUnderMemoryLimit(std::string(8 << 20, ','), 24 << 20, false),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(SplitUnderMemoryLimit(std::string(8 << 20, ','), 24 << 20, true),
              ::testing::ExitedWithCode(0), "");
}

// Runs in a child process with room for eight times a source of separators
// besides the source itself (its copy and a record of kSplitWordBytes per
// byte need seven): its split must give every word, and a split half as
// large again must then fail cleanly, giving back all the storage so that
// the first split fits again.
void SplitSeparatorsWithinEightTimesTheSource(bool csv) {
  constexpr size_t kSize = 16 << 20;
  const std::string fits(kSize, ',');
  const std::string too_large(kSize + kSize / 2, ',');
  LimitAddressSpace(8 * kSize);
  Split(fits, csv);
  if (SplitCount() != static_cast<int32_t>(kSize + 1)) std::_Exit(3);
  Split(too_large, csv);
  if (SplitCount() != 0 || SplitStoreBytes() != 0) std::_Exit(4);
  Split(fits, csv);
  std::_Exit(SplitCount() == static_cast<int32_t>(kSize + 1) ? 0 : 5);
}

TEST_F(SplitStoreDeathTest, SeparatorsSplitWithinEightTimesTheSource) {
  EXPECT_EXIT(SplitSeparatorsWithinEightTimesTheSource(false),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(SplitSeparatorsWithinEightTimesTheSource(true),
              ::testing::ExitedWithCode(0), "");
}
#endif

// At exit the clean-ups free both arrays. A second registration runs before
// the start-up one, and a check registered before it runs after it.
void ExitAfterCleanups() {
  std::atexit([] { std::_Exit(SplitStoreBytes() == 0 ? 0 : 1); });
  RegisterSplitStoreCleanups();
  SplitString("a,b,c", ",");
  std::exit(5);
}

TEST_F(SplitStoreDeathTest, CleanupsFreeBothArraysAtExit) {
  EXPECT_EXIT(ExitAfterCleanups(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vellum::testing
