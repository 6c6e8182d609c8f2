// Both splitters against the plain references of split_reference.h, on
// random sources over small alphabets where
// quotes, separators and whitespace keep colliding. Every failure names the
// seed and case number that reproduce it.
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "commands/split/csv_split.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"
#include "commands/split/split_store.h"
#include "emulator/audited_call.h"
#include "tests/reference/split_reference.h"
#include "tests/unit/host_fixture.h"

namespace vellum::testing {
namespace {

constexpr uint32_t kSeed = 20261206;
constexpr int kCases = 5000;

struct Word {
  std::string text;
  int32_t position;
  char delimiter;  // 0 when the end of the source ended the word
  bool operator==(const Word& other) const {
    return text == other.text && position == other.position &&
           delimiter == other.delimiter;
  }
};

std::ostream& operator<<(std::ostream& out, const Word& word) {
  return out << "{" << emulator::Quote(word.text) << " at " << word.position
             << " by "
             << static_cast<int>(static_cast<unsigned char>(word.delimiter))
             << "}";
}

// The store as the queries report it, with the last word's delimiter taken
// from its record, since no query reports it.
std::vector<Word> StoreWords() {
  FakeCoreBeginCall();  // keeps the audit of each case short
  std::vector<Word> words;
  int32_t count = SplitCount();
  for (int32_t n = 1; n <= count; ++n) {
    std::optional<std::string> text = FakeCoreTakeResult(SplitWord(nullptr, n));
    std::optional<std::string> delimiter =
        FakeCoreTakeResult(SplitDelimiter(nullptr, n));
    EXPECT_TRUE(text.has_value()) << "word " << n;
    EXPECT_EQ(delimiter.has_value(), n < count) << "word " << n;
    char ended_by = n < count ? (delimiter ? (*delimiter)[0] : '?')
                              : SplitWords().delimiter(SplitWords().size() - 1);
    words.push_back({text.value_or("?"), SplitWordStart(n), ended_by});
  }
  EXPECT_EQ(SplitWord(nullptr, count + 1), nullptr);
  EXPECT_EQ(SplitWordStart(count + 1), -1);
  return words;
}

// The reference's words with their positions as the queries report them,
// counted from the first word's offset in the source.
std::vector<Word> WithPositions(const std::vector<reference::Word>& split) {
  std::vector<Word> words;
  for (const reference::Word& word : split) {
    words.push_back({word.text,
                     static_cast<int32_t>(word.offset - split[0].offset) + 1,
                     word.delimiter});
  }
  return words;
}

std::vector<Word> ReferenceSplit(const std::string& source,
                                 const std::string& delimiters) {
  return WithPositions(reference::DelimiterSplit(source, delimiters));
}

std::vector<Word> ReferenceCsv(const std::string& source, char separator,
                               std::optional<char> quote) {
  return WithPositions(reference::CsvSplit(source, separator, quote));
}

std::string RandomString(std::mt19937& random, const std::string& alphabet,
                         size_t max_length) {
  size_t length = std::uniform_int_distribution<size_t>(0, max_length)(random);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text;
  for (size_t i = 0; i < length; ++i) text += alphabet[pick(random)];
  return text;
}

// Lengths mostly short, sometimes long enough for several whole blocks.
size_t RandomMaxLength(std::mt19937& random) {
  return random() % 4 == 0 ? 200 : 40;
}

class SplitDifferentialTest : public HostTest {};

TEST_F(SplitDifferentialTest, SplitStringMatchesReference) {
  std::mt19937 random(kSeed);
  const std::string alphabets[] = {"ab,", "a,;: \xFF\x80", "ab,,,,,,",
                                   "abcdefgh,", "\x01\x7F\x80\xFEz,"};
  const std::string set_bytes =
      ",;: \xFF\x80\x01\x7F"
      "abcdefgh";
  for (int i = 0; i < kCases; ++i) {
    const std::string& alphabet = alphabets[random() % std::size(alphabets)];
    std::string source =
        RandomString(random, alphabet, RandomMaxLength(random));
    // Sets of up to 8 bytes, repeats included, reach both the block compare
    // and the per-byte test.
    std::string delimiters = RandomString(random, set_bytes, 8);
    bool null_set = delimiters.empty() && random() % 2;
    const std::string before = source;
    SplitString(source.c_str(), null_set ? nullptr : delimiters.c_str());
    SCOPED_TRACE(::testing::Message()
                 << "seed " << kSeed << " case " << i << ": SPLIT STRING("
                 << emulator::Quote(source) << ", "
                 << emulator::Quote(delimiters) << ")");
    ASSERT_EQ(StoreWords(), ReferenceSplit(source, delimiters));
    ASSERT_EQ(source, before);
  }
}

TEST_F(SplitDifferentialTest, SplitCsvStringMatchesReference) {
  std::mt19937 random(kSeed);
  struct Dialect {
    const char* alphabet;
    const char* separator;  // as passed: only its first byte counts
    const char* quote;
  };
  const Dialect dialects[] = {
      {"a,\"  ", ",", "\""},
      {"ab,\"\" \t", ",", "\""},
      {"a;'\", \n", ";", "'"},
      {"a,'\t\r", "", nullptr},
      {"a '\t", " ", "'"},
      {"a\t'\" ", "\t", "'\""},
      {"a,\"\v\f", nullptr, "\""},
      {"a,\"", "\"", "\""},
      {"ab, '", ",", " "},
      {"a,\"\x80\xFF", "\xFF", "\x80"},
      // Records more like real ones: long plain runs between the quotes,
      // blanks and separators, where whole blocks are cut at once.
      {"abcdefghijklmn,,,\"", ",", "\""},
      {"abcdefghijkl;;' ", ";", "'"},
  };
  for (int i = 0; i < kCases; ++i) {
    const Dialect& dialect = dialects[random() % std::size(dialects)];
    std::string source =
        RandomString(random, dialect.alphabet, RandomMaxLength(random));
    char separator =
        dialect.separator && *dialect.separator ? *dialect.separator : ',';
    std::optional<char> quote;
    if (dialect.quote && *dialect.quote) quote = *dialect.quote;
    const std::string before = source;
    SplitCsvString3(source.c_str(), dialect.separator, dialect.quote);
    SCOPED_TRACE(
        ::testing::Message()
        << "seed " << kSeed << " case " << i << ": SPLIT CSV STRING("
        << emulator::Quote(source) << ", separator "
        << static_cast<int>(static_cast<unsigned char>(separator)) << ", quote "
        << (quote ? static_cast<int>(static_cast<unsigned char>(*quote)) : -1)
        << ")");
    ASSERT_EQ(StoreWords(), ReferenceCsv(source, separator, quote));
    ASSERT_EQ(source, before);
  }
}

// Splitting periodic text whose delimiters fall at every offset of a block.
TEST_F(SplitDifferentialTest, DelimitersAtEveryBlockOffset) {
  for (size_t period = 1; period <= 33; ++period) {
    std::string source;
    for (size_t i = 0; i < 100; ++i)
      source += i % period == period - 1 ? ';' : 'x';
    SplitString(source.c_str(), ";");
    SCOPED_TRACE(::testing::Message() << "period " << period);
    ASSERT_EQ(StoreWords(), ReferenceSplit(source, ";"));
    SplitCsvString3(source.c_str(), ";", nullptr);
    ASSERT_EQ(StoreWords(), ReferenceCsv(source, ';', std::nullopt));
  }
}

}  // namespace
}  // namespace vellum::testing
