#include "commands/split/delimiter_split.h"

#include <algorithm>
#include <string_view>

#include "commands/split/split_store.h"
#include "host/host_string.h"
#include "scan/byte_match.h"
#include "scan/byte_set.h"

namespace vellum {
namespace {

// Ends the word that began last at `at`, a delimiter, and starts the next
// word after it (at the final NUL when `at` is the last byte).
template <typename Words>
inline void CutAt(Words& words, char* at) {
  words.End(*at);
  if constexpr (Words::kCuts) *at = '\0';
  words.Start(at + 1);
}

// Reports every word of `text` to `words`: the whole text when `delimiters`
// is empty, otherwise one word more than there are delimiter bytes.
template <typename Words>
void ScanWords(char* text, size_t length, std::string_view delimiters,
               Words& words) {
  words.Start(text);
  if (delimiters.empty()) return;
  const ByteSet set(delimiters);
  size_t i = 0;
  char distinct[ByteMatch::kMaxValues];
  size_t count = DistinctBytes(delimiters, distinct, ByteMatch::kMaxValues);
  if (count != 0 && count <= ByteMatch::kMaxValues) {
    // A set of a few bytes compares sixteen bytes at a time; the membership
    // map takes the tail, and the whole text when the set is larger.
    const ByteMatch match(distinct, count);
    for (; length - i >= 16; i += 16) {
      for (uint32_t hits = match.Mask16(text + i); hits != 0;
           hits &= hits - 1) {
        CutAt(words, text + i + LowestBit(hits));
      }
    }
  }
  for (; i < length; ++i) {
    if (set.contains(text[i])) CutAt(words, text + i);
  }
}

}  // namespace
}  // namespace vellum

void SplitString(const char* source, const char* delimiters) {
  std::string_view set = vellum::ArgView(delimiters);
  vellum::RunSplit(source, 1, [set](char* text, size_t length, auto& words) {
    vellum::ScanWords(text, length, set, words);
  });
}
