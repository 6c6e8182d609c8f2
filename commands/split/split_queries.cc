#include "commands/split/split_queries.h"

#include <cstddef>

#include "commands/split/split_store.h"
#include "host/host_string.h"

namespace vellum {

namespace {

// True when word `word_number` exists. Only called with a number of at
// least 1.
bool HasWord(int32_t word_number) {
  return static_cast<size_t>(word_number) <= SplitWords().size();
}

}  // namespace

int32_t SplitCount() { return static_cast<int32_t>(SplitWords().size()); }

HostString SplitWord(HostString old_result, int32_t word_number) {
  if (word_number < 1) return Fail(old_result, kErrorPositionTooLow);
  if (!HasWord(word_number)) return Finish(old_result, nullptr);
  const char* buffer = SplitBuffer().data();
  return Finish(old_result,
                MakeHostCopy(SplitWords().text(buffer, word_number - 1)));
}

int32_t SplitWordStart(int32_t word_number) {
  if (word_number < 1) return FailInteger(kErrorPositionTooLow);
  if (!HasWord(word_number)) return -1;
  return static_cast<int32_t>(SplitWords().start(word_number - 1) -
                              SplitWords().start(0)) +
         1;
}

HostString SplitDelimiter(HostString old_result, int32_t word_number) {
  if (word_number < 0) return Fail(old_result, kErrorPositionTooLow);
  // The last word may hold the separator after a CSV split; it is never
  // reported, so the last word and word 0 answer like words past the count.
  if (word_number == 0 || word_number >= SplitCount()) {
    return Finish(old_result, nullptr);
  }
  HostString result = AllocHostString(2);
  if (result == nullptr) return Finish(old_result, nullptr);
  result[0] = SplitWords().delimiter(word_number - 1);
  result[1] = '\0';
  return Finish(old_result, result);
}

}  // namespace vellum
