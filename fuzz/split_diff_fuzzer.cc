// SPLIT STRING and the three SPLIT CSV STRING exports against the plain
// reference splitters of tests/reference/split_reference.h, checked through
// every query: SPLIT COUNT, then GET SPLIT WORD$, GET SPLIT WORD POS and
// GET SPLIT DELIMITER$ for every word number around the count and at the
// extremes, with their errors, and null told apart from an allocated empty
// string. The source must come through unchanged.
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
#include "tests/reference/split_reference.h"

namespace vellum::fuzz {
namespace {

void Fold(Arg& arg) {
  static const char kAlphabet[] = "a,\"' \t;b";
  if (!arg) return;
  for (char& c : *arg) c = kAlphabet[static_cast<uint8_t>(c) % 8];
}

// Compares the store with the reference's words through every query.
// Calls are written out only for a report.
void CheckQueries(const std::string& split,
                  const std::vector<reference::Word>& words) {
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
               std::to_string(position) + " ! " +
                   std::to_string(FakeCoreErrorWord()),
               std::to_string(want_position));
    }

    // The last word never reports its delimiter.
    Taken delimiter = TakeCall([&] { return call("GET SPLIT DELIMITER$"); },
                               [&] { return SplitDelimiter(nullptr, n); });
    Arg want_delimiter = n >= 1 && n < count
                             ? Arg(std::string(1, words[n - 1].delimiter))
                             : std::nullopt;
    if (delimiter.text != want_delimiter ||
        delimiter.error != (n < 0 ? 110 : 0)) {
      Mismatch(call("GET SPLIT DELIMITER$"),
               Show(delimiter.text) + " ! " + std::to_string(delimiter.error),
               Show(want_delimiter));
    }
  }
}

void RunOne(FuzzInput& input) {
  uint8_t operation = input.TakeByte() % 4;
  uint8_t flags = input.TakeByte();
  auto [source, second, third] = input.TakeArguments<3>(flags);
  if (flags & 8) {
    Fold(source);
    Fold(second);
    Fold(third);
  }
  const CString source_copy(source), second_copy(second), third_copy(third);
  const std::string text = source.value_or("");
  const char separator = IsEmpty(second) ? ',' : (*second)[0];
  std::string call;
  std::vector<reference::Word> words;
  switch (operation) {
    case 0:
      call = "SPLIT STRING(" + Show(source) + ", " + Show(second) + ")";
      SplitString(source_copy.get(), second_copy.get());
      words = reference::DelimiterSplit(text, second.value_or(""));
      break;
    case 1:
      call = "SPLIT CSV STRING(" + Show(source) + ", " + Show(second) + ", " +
             Show(third) + ")";
      SplitCsvString3(source_copy.get(), second_copy.get(), third_copy.get());
      words = reference::CsvSplit(
          text, separator,
          IsEmpty(third) ? std::nullopt : std::optional<char>((*third)[0]));
      break;
    case 2:
      call = "SPLIT CSV STRING(" + Show(source) + ")";
      SplitCsvString(source_copy.get());
      words = reference::CsvSplit(text, ',', '"');
      break;
    default:
      call = "SplitCsvString2(" + Show(source) + ", " + Show(second) + ")";
      SplitCsvString2(source_copy.get(), second_copy.get());
      words = reference::CsvSplit(text, separator, '"');
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
  return vellum::fuzz::RunEach(data, size, vellum::fuzz::RunOne);
}
