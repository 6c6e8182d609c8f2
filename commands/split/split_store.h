// The split store: the words of the last split, kept for the queries until
// the next split replaces them. A split copies its source once into
// SplitBuffer and cuts the words out of that copy in place by writing NULs;
// each word is then only a record of where it starts and what ended it.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commands/split/store_array.h"
#include "host/host_string.h"

namespace vellum {

// A word's record is its first byte's offset in SplitBuffer and the byte
// that ended it, held in two parallel arrays: 5 bytes a word in either
// build, where a pointer and a byte would take 8 in the DLL and 16
// natively. A source of separators only has a word per byte, so this is
// what bounds the store at about 6 times its source.
inline constexpr size_t kSplitWordBytes = sizeof(uint32_t) + sizeof(char);
static_assert(kSplitWordBytes <= 8, "a word record must stay within 8 bytes");

class SplitWordList {
 public:
  size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }
  // Word `index`'s first byte, as an offset into SplitBuffer.
  uint32_t start(size_t index) const { return starts_[index]; }
  // The byte that ended word `index`; 0 for the end of the source.
  char delimiter(size_t index) const { return delimiters_[index]; }

  // Makes room for exactly `count` records, forgetting the old ones; their
  // contents are for the splitter to write. Throws std::bad_alloc.
  void Resize(size_t count) {
    starts_.Resize(count);
    delimiters_.Resize(count);
  }
  void Release() noexcept {
    starts_.Release();
    delimiters_.Release();
  }
  uint32_t* starts() { return starts_.data(); }
  char* delimiters() { return delimiters_.data(); }
  size_t storage_bytes() const {
    return starts_.storage_bytes() + delimiters_.storage_bytes();
  }

 private:
  StoreArray<uint32_t> starts_;
  StoreArray<char> delimiters_;
};

// The working copy of the last non-empty source.
StoreArray<char>& SplitBuffer();

// One record per word, in source order; word n is at index n - 1.
SplitWordList& SplitWords();

// Forgets every word. Storage is kept only within the arrays' spare.
void ClearSplitWords() noexcept;

// Makes SplitBuffer the bytes of `source` followed by `trailing_nuls` NULs
// and returns its first byte. Throws std::bad_alloc, also for a source that
// 32-bit offsets cannot cover. Only called after ClearSplitWords, so no
// record points into storage that is replaced.
char* LoadSplitBuffer(std::string_view source, size_t trailing_nuls);

// The bytes that the store's arrays hold now, spare included.
size_t SplitStoreBytes();

// A splitter's scan reports each word to one of these two: first to a
// WordCounter, so that the records can be sized once, exactly, and then to
// a WordRecorder, which fills them and lets the scan cut the words. Both
// passes run the very same scan, so they meet the same words.
class WordCounter {
 public:
  // The scan leaves SplitBuffer as it is.
  static constexpr bool kCuts = false;
  void Start(const char*) { ++count_; }
  void End(char) {}
  size_t count() const { return count_; }

 private:
  size_t count_ = 0;
};

class WordRecorder {
 public:
  // The scan writes the NULs that end words and compacts quoted fields.
  static constexpr bool kCuts = true;
  WordRecorder(const char* buffer, SplitWordList& words)
      : buffer_(buffer),
        start_(words.starts()),
        delimiter_(words.delimiters()),
        end_(words.delimiters() + words.size()) {}

  // A word begins at `text`; it is ended by the end of the source until
  // End says otherwise.
  void Start(const char* text) {
    assert(delimiter_ != end_ && "the counting pass saw fewer words");
    *start_++ = static_cast<uint32_t>(text - buffer_);
    *delimiter_++ = '\0';
  }
  // `delimiter` ended the word that began last.
  void End(char delimiter) { delimiter_[-1] = delimiter; }

 private:
  const char* buffer_;
  uint32_t* start_;
  char* delimiter_;
  const char* end_;
};

// Runs one split: the old words go first, whatever the source; a null or
// empty source leaves the store empty. Otherwise the source is loaded with
// `trailing_nuls` NULs and `scan(buffer, length, words)` runs twice, counting
// and then recording. Running out of memory leaves the store empty with its
// storage released, instead of leaving the command as an exception.
template <typename Scan>
void RunSplit(const char* source, size_t trailing_nuls, Scan scan) noexcept {
  ClearSplitWords();
  try {
    std::string_view text = ArgView(source);
    if (text.empty()) {
      SplitBuffer().Resize(0);  // gives back a large buffer; never throws
      return;
    }
    char* buffer = LoadSplitBuffer(text, trailing_nuls);
    WordCounter counter;
    scan(buffer, text.size(), counter);
    SplitWords().Resize(counter.count());
    WordRecorder recorder(buffer, SplitWords());
    scan(buffer, text.size(), recorder);
  } catch (...) {
    SplitWords().Release();
    SplitBuffer().Release();
  }
}

// Registers the unload clean-ups of the two arrays: SplitWords first, then
// SplitBuffer, so that at unload SplitBuffer is released before SplitWords.
void RegisterSplitStoreCleanups();

}  // namespace vellum
