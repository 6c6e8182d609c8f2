#include "commands/split/split_queries.h"

#include <string_view>
#include <vector>

#include "commands/split/split_store.h"
#include "host/host_string.h"

using vellum::Fail;
using vellum::Finish;
using vellum::HostString;
using vellum::SplitWordRecord;
using vellum::SplitWords;

namespace {

// The record of word `word_number`, or null when the number is past the
// count. Only called with a number of at least 1.
const SplitWordRecord* FindWord(int32_t word_number) {
  const std::vector<SplitWordRecord>& words = SplitWords();
  auto index = static_cast<size_t>(word_number) - 1;
  return index < words.size() ? &words[index] : nullptr;
}

}  // namespace

int32_t SplitCount() { return static_cast<int32_t>(SplitWords().size()); }

HostString SplitWord(HostString old_result, int32_t word_number) {
  if (word_number < 1) return Fail(old_result, vellum::kErrorPositionTooLow);
  const SplitWordRecord* word = FindWord(word_number);
  if (word == nullptr) return Finish(old_result, nullptr);
  return Finish(old_result, vellum::MakeHostCopy(vellum::ArgView(word->text)));
}

int32_t SplitWordStart(int32_t word_number) {
  if (word_number < 1) {
    vellum::RaiseHostError(vellum::kErrorPositionTooLow);
    return 0;
  }
  const SplitWordRecord* word = FindWord(word_number);
  if (word == nullptr) return -1;
  return static_cast<int32_t>(word->text - SplitWords().front().text) + 1;
}

HostString SplitDelimiter(HostString old_result, int32_t word_number) {
  if (word_number < 0) return Fail(old_result, vellum::kErrorPositionTooLow);
  // The last word may hold the separator after a CSV split; it is never
  // reported, so the last word and word 0 answer like words past the count.
  if (word_number == 0 || word_number >= SplitCount()) {
    return Finish(old_result, nullptr);
  }
  HostString result = vellum::AllocHostString(2);
  if (result == nullptr) return Finish(old_result, nullptr);
  result[0] = FindWord(word_number)->delimiter;
  result[1] = '\0';
  return Finish(old_result, result);
}
