#include "commands/split/delimiter_split.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "scan/byte_set.h"
#include "scan/byte_match.h"
#include "commands/split/split_store.h"
#include "host/host_string.h"

namespace vellum {
namespace {

// Ends the word that the last record holds at `at`, a delimiter, and starts
// the next word after it (at the final NUL when `at` is the last byte).
inline void CutAt(std::vector<SplitWordRecord>& words, char* at) {
  words.back().delimiter = *at;
  *at = '\0';
  words.push_back({at + 1, 0});
}

void CutWords(char* text, size_t length, std::string_view delimiters) {
  std::vector<SplitWordRecord>& words = SplitWords();
  const ByteSet set(delimiters);
  size_t i = 0;
  char distinct[ByteMatch::kMaxValues];
  size_t count = DistinctBytes(delimiters, distinct, ByteMatch::kMaxValues);
  if (count != 0 && count <= ByteMatch::kMaxValues) {
    // A set of a few bytes compares sixteen bytes at a time; the membership
    // map takes the tail, and the whole text when the set is larger.
    const ByteMatch match(distinct, count);
    for (; length - i >= 16; i += 16) {
      for (uint32_t hits = match.Mask16(text + i); hits != 0; hits &= hits - 1) {
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
  vellum::RunSplit(source, [delimiters](std::string_view text) {
    char* copy = vellum::LoadSplitBuffer(text, 1);
    vellum::AppendSplitWord(copy);
    std::string_view set = vellum::ArgView(delimiters);
    if (!set.empty()) vellum::CutWords(copy, text.size(), set);
  });
}
