// SPLIT STRING and the three SPLIT CSV STRING exports against plain
// reference splitters, checked through every query: SPLIT COUNT, then GET
// SPLIT WORD$, GET SPLIT WORD POS and GET SPLIT DELIMITER$ for every word
// number around the count and at the extremes, with their errors, and null
// told apart from an allocated empty string. The source must come through
// unchanged.
//
// The references build each word as a new string from the unchanged source;
// the module cuts words in place in its working copy. Both follow the same
// rules, so they must agree on every word, position and delimiter.
//
// Input: a script of splits. Each is an operation byte (delimiter split, CSV
// split with separator and quote, CSV split with the defaults, CSV split
// with a separator), a flags byte (bits 0-2: which strings are null; bit 3:
// fold bytes into the alphabet "a,\"' \t;b", where separators, quotes and
// whitespace meet), then the strings, each ending at a 0 byte.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "commands/split/csv_split.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"
#include "fuzz/direct_call.h"
#include "fuzz/fuzz_input.h"

namespace vellum::fuzz {
namespace {

struct Word {
  std::string text;
  size_t offset;   // where the word begins in the source
  char delimiter;  // what ended it; 0 for the end of the source
};

// Every byte of the set ends one word; a null or empty set gives the whole
// source as one word.
std::vector<Word> ReferenceDelimiterSplit(const std::string& source,
                                          const std::string& delimiters) {
  std::vector<Word> words;
  if (source.empty()) return words;
  words.push_back({"", 0, 0});
  for (size_t i = 0; i < source.size(); ++i) {
    char c = source[i];
    if (delimiters.find(c) != std::string::npos) {
      words.back().delimiter = c;
      words.push_back({"", i + 1, 0});
    } else {
      words.back().text += c;
    }
  }
  return words;
}

bool IsCsvWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One record of separated fields. `quote` is nullopt when nothing is quoted.
std::vector<Word> ReferenceCsvSplit(const std::string& source, char separator,
                                    std::optional<char> quote) {
  std::vector<Word> words;
  if (source.empty()) return words;
  // Reads past the end as NUL, as the working copy's two trailing NULs do.
  auto at = [&](size_t i) { return i < source.size() ? source[i] : '\0'; };
  size_t p = 0;
  while (at(p) != '\0') {
    char c = at(p);
    if (quote && c == *quote) {
      // Quoted: doubled quotes collapse to one; the word ends at the last
      // unpaired quote, which also toggles whether separators count.
      Word word{"", p + 1, 0};
      std::optional<size_t> last_quote;
      bool inside = true;
      size_t r = p + 1;
      for (; at(r) != '\0'; ++r) {
        char b = at(r);
        if (b == separator && !inside) {
          word.delimiter = separator;
          break;
        }
        if (b == *quote) {
          if (at(r + 1) == *quote) {
            ++r;
          } else {
            last_quote = word.text.size();
            inside = !inside;
          }
        }
        word.text += b;
      }
      if (last_quote) word.text.resize(*last_quote);
      words.push_back(word);
      p = r + 1;
    } else if (IsCsvWhitespace(c)) {
      ++p;
    } else {
      // Unquoted, up to the separator, less trailing whitespace.
      Word word{"", p, 0};
      size_t e = p;
      while (at(e) != separator && at(e) != '\0') ++e;
      if (at(e) == separator) word.delimiter = separator;
      word.text = source.substr(p, e - p);
      while (!word.text.empty() && IsCsvWhitespace(word.text.back())) {
        word.text.pop_back();
      }
      words.push_back(word);
      p = e + 1;
      if (at(p) == '\0' && word.delimiter == separator) {
        words.push_back({"", p, 0});
      }
    }
  }
  return words;
}

void Fold(Arg& arg) {
  static const char kAlphabet[] = "a,\"' \t;b";
  if (!arg) return;
  for (char& c : *arg) c = kAlphabet[static_cast<uint8_t>(c) % 8];
}

// Compares the store with the reference's words through every query.
// Calls are written out only for a report.
void CheckQueries(const std::string& split, const std::vector<Word>& words) {
  const auto count = static_cast<int32_t>(words.size());
  FakeCoreBeginCall();
  if (SplitCount() != count) {
    Mismatch(split + " SPLIT COUNT", std::to_string(SplitCount()),
             std::to_string(count));
  }
  std::vector<int32_t> numbers = {std::numeric_limits<int32_t>::min(), -2, -1,
                                  std::numeric_limits<int32_t>::max()};
  for (int32_t n = 0; n <= count + 2; ++n) numbers.push_back(n);
  for (int32_t n : numbers) {
    auto call = [&](const char* query) {
      return split + " " + query + "(" + std::to_string(n) + ")";
    };
    const bool word_in_range = n >= 1 && n <= count;

    Taken word = TakeCall([&] { return call("GET SPLIT WORD$"); },
                          [&] { return SplitWord(nullptr, n); });
    Arg want_word = word_in_range ? Arg(words[n - 1].text) : std::nullopt;
    if (word.text != want_word || word.error != (n < 1 ? 110 : 0)) {
      Mismatch(call("GET SPLIT WORD$"),
               Show(word.text) + " ! " + std::to_string(word.error),
               Show(want_word));
    }

    FakeCoreBeginCall();
    int32_t position = SplitWordStart(n);
    int32_t want_position =
        n < 1 ? 0
              : word_in_range
                    ? static_cast<int32_t>(words[n - 1].offset - words[0].offset + 1)
                    : -1;
    if (position != want_position || FakeCoreErrorWord() != (n < 1 ? 110 : 0)) {
      Mismatch(call("GET SPLIT WORD POS"),
               std::to_string(position) + " ! " + std::to_string(FakeCoreErrorWord()),
               std::to_string(want_position));
    }

    // The last word never reports its delimiter.
    Taken delimiter = TakeCall([&] { return call("GET SPLIT DELIMITER$"); },
                               [&] { return SplitDelimiter(nullptr, n); });
    Arg want_delimiter = n >= 1 && n < count
                             ? Arg(std::string(1, words[n - 1].delimiter))
                             : std::nullopt;
    if (delimiter.text != want_delimiter || delimiter.error != (n < 0 ? 110 : 0)) {
      Mismatch(call("GET SPLIT DELIMITER$"),
               Show(delimiter.text) + " ! " + std::to_string(delimiter.error),
               Show(want_delimiter));
    }
  }
}

void RunOne(FuzzInput& input) {
  uint8_t operation = input.TakeByte() % 4;
  uint8_t flags = input.TakeByte();
  Arg source = input.TakeArgument(flags & 1);
  Arg second = input.TakeArgument(flags & 2);
  Arg third = input.TakeArgument(flags & 4);
  if (flags & 8) {
    Fold(source);
    Fold(second);
    Fold(third);
  }
  const CString source_copy(source), second_copy(second), third_copy(third);
  const std::string text = source.value_or("");
  const char separator = IsEmpty(second) ? ',' : (*second)[0];
  std::string call;
  std::vector<Word> words;
  switch (operation) {
    case 0:
      call = "SPLIT STRING(" + Show(source) + ", " + Show(second) + ")";
      SplitString(source_copy.get(), second_copy.get());
      words = ReferenceDelimiterSplit(text, second.value_or(""));
      break;
    case 1:
      call = "SPLIT CSV STRING(" + Show(source) + ", " + Show(second) + ", " +
             Show(third) + ")";
      SplitCsvString3(source_copy.get(), second_copy.get(), third_copy.get());
      words = ReferenceCsvSplit(text, separator,
                                IsEmpty(third) ? std::nullopt
                                               : std::optional<char>((*third)[0]));
      break;
    case 2:
      call = "SPLIT CSV STRING(" + Show(source) + ")";
      SplitCsvString(source_copy.get());
      words = ReferenceCsvSplit(text, ',', '"');
      break;
    default:
      call = "SplitCsvString2(" + Show(source) + ", " + Show(second) + ")";
      SplitCsvString2(source_copy.get(), second_copy.get());
      words = ReferenceCsvSplit(text, separator, '"');
      break;
  }
  if (source && std::string(source_copy.get()) != *source) {
    Mismatch(call, "a changed source", "the source unchanged");
  }
  CheckQueries(call, words);
}

}  // namespace
}  // namespace vellum::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vellum::fuzz::UseFakeCore();
  vellum::fuzz::FuzzInput input(data, size);
  while (!input.empty()) vellum::fuzz::RunOne(input);
  return 0;
}
