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
inline void CutAt(WordRecorder& words, char* at) {
  words.Stop(at);
  words.End(*at);
  *at = '\0';
  words.Start(at + 1);
}

// The distinct bytes of a delimiter set, when there are few enough to be
// compared sixteen bytes at a time; otherwise `count` is 0 and the
// membership map takes every byte.
struct FewDelimiters {
  explicit FewDelimiters(std::string_view delimiters) {
    count = DistinctBytes(delimiters, values, ByteMatch::kMaxValues);
    if (count > ByteMatch::kMaxValues) count = 0;
  }
  char values[ByteMatch::kMaxValues];
  size_t count;
};

// The number of words: one more than the delimiter bytes of `text`, one for
// an empty set.
size_t CountWords(const char* text, size_t length,
                  std::string_view delimiters) {
  if (delimiters.empty()) return 1;
  const FewDelimiters few(delimiters);
  if (few.count != 0) {
    return ByteMatch(few.values, few.count).Count(text, length) + 1;
  }
  const ByteSet set(delimiters);
  return static_cast<size_t>(std::count_if(
             text, text + length, [&](char c) { return set.contains(c); })) +
         1;
}

// Records every word of `text`: the whole text when `delimiters` is empty,
// otherwise one word more than there are delimiter bytes.
void ScanWords(char* text, size_t length, std::string_view delimiters,
               WordRecorder& words) {
  words.Start(text);
  if (!delimiters.empty()) {
    const ByteSet set(delimiters);
    const FewDelimiters few(delimiters);
    size_t i = 0;
    if (few.count != 0) {
      // A set of a few bytes compares sixteen bytes at a time; the
      // membership map takes the tail, and the whole text when the set is
      // larger.
      const ByteMatch match(few.values, few.count);
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
  words.Stop(text + length);
}

}  // namespace
}  // namespace vellum

void SplitString(const char* source, const char* delimiters) {
  std::string_view set = vellum::ArgView(delimiters);
  vellum::RunSplit(
      source, 1,
      [set](const char* text, size_t length) {
        return vellum::CountWords(text, length, set);
      },
      [set](char* text, size_t length, vellum::WordRecorder& words) {
        vellum::ScanWords(text, length, set, words);
      });
}
