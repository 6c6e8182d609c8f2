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

// A delimiter set as the scans test it: a membership map for any byte,
// and, for a set of a few distinct bytes, a match of sixteen bytes at a
// time. Made once per split, for the count and the scan alike.
class DelimiterSet {
 public:
  explicit DelimiterSet(std::string_view delimiters)
      : empty_(delimiters.empty()), set_(delimiters) {
    char values[ByteMatch::kMaxValues];
    size_t count = DistinctBytes(delimiters, values, ByteMatch::kMaxValues);
    few_ = count != 0 && count <= ByteMatch::kMaxValues;
    if (few_) match_ = ByteMatch(values, count);
  }

  // The number of words of `text`: one more than its delimiter bytes, one
  // for an empty set.
  size_t CountWords(const char* text, size_t length) const {
    if (empty_) return 1;
    if (few_) return match_.Count(text, length) + 1;
    return static_cast<size_t>(std::count_if(
               text, text + length, [&](char c) { return set_.contains(c); })) +
           1;
  }

  // Records every word of `text`: the whole text when the set is empty,
  // otherwise one word more than there are delimiter bytes.
  void ScanWords(char* text, size_t length, WordRecorder& words) const {
    words.Start(text);
    if (!empty_) {
      size_t i = 0;
      if (few_) {
        // A set of a few bytes compares sixteen bytes at a time; the
        // membership map takes the tail, and the whole text when the set is
        // larger.
        for (; length - i >= 16; i += 16) {
          for (uint32_t hits = match_.Mask16(text + i); hits != 0;
               hits &= hits - 1) {
            CutAt(words, text + i + LowestBit(hits));
          }
        }
      }
      for (; i < length; ++i) {
        if (set_.contains(text[i])) CutAt(words, text + i);
      }
    }
    words.Stop(text + length);
  }

 private:
  bool empty_;
  bool few_ = false;
  ByteSet set_;
  ByteMatch match_{'\0'};
};

}  // namespace

void SplitString(const char* source, const char* delimiters) {
  const DelimiterSet set(ArgView(delimiters));
  RunSplit(
      source, 1,
      [&set](const char* text, size_t length) {
        return set.CountWords(text, length);
      },
      [&set](char* text, size_t length, WordRecorder& words) {
        set.ScanWords(text, length, words);
      });
}

}  // namespace vellum
