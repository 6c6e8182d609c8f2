// The split store: the words of the last split, kept for the queries until
// the next split replaces them. A split copies its source once into
// SplitBuffer and cuts the words out of that copy in place by writing NULs;
// each word is then only a record of where it starts, what ended it and how
// far its end lies from the next word's start.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>

#include "commands/split/store_array.h"
#include "host/host_string.h"
#include "scan/byte_scan.h"

namespace vellum {

// A word's record is its first byte's offset in SplitBuffer, the byte that
// ended it and its slack, held in three parallel arrays: 6 bytes a word in
// either build, where a pointer, a length and a byte would take 12 in the
// DLL and 24 natively. A source of separators only has a word per byte, so
// this is what bounds the store at about 7 times its source.
inline constexpr size_t kSplitWordBytes =
    sizeof(uint32_t) + sizeof(char) + sizeof(uint8_t);
static_assert(kSplitWordBytes <= 8, "a word record must stay within 8 bytes");

// A word's slack is the number of bytes from its end (its NUL) to where the
// next word starts, so that its length needs no scan: 1 after SPLIT STRING,
// more where a CSV split dropped whitespace or quotes. A slack too large for
// a byte is kept as kSlackUnknown, and that word is measured.
inline constexpr uint8_t kSlackUnknown = 255;

class SplitWordList {
 public:
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Word `index`'s first byte, as an offset into SplitBuffer.
  uint32_t start(size_t index) const { return starts_[index]; }
  // The byte that ended word `index`; 0 for the end of the source.
  char delimiter(size_t index) const { return delimiters_[index]; }
  uint8_t slack(size_t index) const { return slacks_[index]; }
  // Where word `index + 1` starts; for the last word, one past the source's
  // last byte plus one, where a word after it would start.
  uint32_t next_start(size_t index) const {
    return index + 1 < size_ ? starts_[index + 1] : limit_;
  }
  // The text of word `index`, in `buffer` (SplitBuffer's bytes): its length
  // is the room up to the next word less the word's slack.
  std::string_view text(const char* buffer, size_t index) const {
    const uint32_t start = starts_[index];
    const uint32_t room = next_start(index) - start;
    const uint8_t slack = slacks_[index];
    if (slack != kSlackUnknown) return {buffer + start, room - slack};
    // Its NUL lies somewhere before the next word's start.
    return {buffer + start, BoundedLength(buffer + start, room)};
  }

  // Makes room for up to `capacity` records, forgetting the old ones; their
  // contents are for the splitter to write. Throws std::bad_alloc.
  void Reserve(size_t capacity) {
    starts_.Resize(capacity);
    delimiters_.Resize(capacity);
    slacks_.Resize(capacity);
    size_ = 0;
  }
  // Makes the first `count` records, all written, the words; `limit` is
  // next_start of the last of them.
  void Keep(size_t count, uint32_t limit) {
    assert(count <= starts_.size());
    size_ = count;
    limit_ = limit;
  }
  void Release() noexcept {
    starts_.Release();
    delimiters_.Release();
    slacks_.Release();
    size_ = 0;
  }
  uint32_t* starts() { return starts_.data(); }
  char* delimiters() { return delimiters_.data(); }
  uint8_t* slacks() { return slacks_.data(); }
  size_t capacity() const { return starts_.size(); }
  size_t storage_bytes() const {
    return starts_.storage_bytes() + delimiters_.storage_bytes() +
           slacks_.storage_bytes();
  }

 private:
  StoreArray<uint32_t> starts_;
  StoreArray<char> delimiters_;
  StoreArray<uint8_t> slacks_;
  size_t size_ = 0;
  uint32_t limit_ = 0;
};

// Both arrays are built on first use, in static memory, and never destroyed:
// only the clean-ups registered at start-up release their storage. A static
// destructor would run in an order relative to those clean-ups that depends
// on link order, and heap-allocated array objects would outlive the module
// once it is unloaded. Inline, so that a query pays one test of the guard
// rather than a call.
template <typename Array>
Array& BuiltOnFirstUse() {
  alignas(Array) static unsigned char space[sizeof(Array)];
  static Array* array = new (space) Array();
  return *array;
}

// The working copy of the last non-empty source.
inline StoreArray<char>& SplitBuffer() {
  return BuiltOnFirstUse<StoreArray<char>>();
}

// One record per word, in source order; word n is at index n - 1.
inline SplitWordList& SplitWords() { return BuiltOnFirstUse<SplitWordList>(); }

// Forgets every word. Storage is kept only within the arrays' spare.
void ClearSplitWords() noexcept;

// Makes SplitBuffer the bytes of `source` followed by `trailing_nuls` NULs
// and returns its first byte. Throws std::bad_alloc, also for a source that
// 32-bit offsets cannot cover. Only called after ClearSplitWords, so no
// record points into storage that is replaced.
char* LoadSplitBuffer(std::string_view source, size_t trailing_nuls);

// The bytes that the store's arrays hold now, spare included.
size_t SplitStoreBytes();

// A splitter's scan reports each word to this: where it starts, where it
// stops (where its NUL is, or goes) and what ended it. The scan writes the
// NULs that end words, and a CSV scan compacts quoted fields.
class WordRecorder {
 public:
  WordRecorder(const char* buffer, SplitWordList& words)
      : buffer_(buffer),
        starts_(words.starts()),
        delimiters_(words.delimiters()),
        slacks_(words.slacks()),
        capacity_(words.capacity()) {}

  // A word begins at `text`; it is ended by the end of the source until
  // End says otherwise. The word before it, if any, has stopped.
  void Start(const char* text) {
    assert(count_ < capacity_ && "the bound counted fewer words");
    if (count_ > 0) slacks_[count_ - 1] = SlackTo(text);
    starts_[count_] = static_cast<uint32_t>(text - buffer_);
    delimiters_[count_] = '\0';
    ++count_;
  }
  // The word that began last ends right before `end`.
  void Stop(const char* end) { stop_ = end; }
  // `delimiter` ended the word that began last.
  void End(char delimiter) { delimiters_[count_ - 1] = delimiter; }

  // After the scan: the words recorded, the last one's slack counted to
  // `limit`, SplitWordList's limit.
  size_t Finish(const char* limit) {
    if (count_ > 0) slacks_[count_ - 1] = SlackTo(limit);
    return count_;
  }

 private:
  uint8_t SlackTo(const char* next) const {
    auto slack = static_cast<size_t>(next - stop_);
    return slack < kSlackUnknown ? static_cast<uint8_t>(slack) : kSlackUnknown;
  }

  const char* buffer_;
  uint32_t* starts_;
  char* delimiters_;
  uint8_t* slacks_;
  size_t capacity_;
  size_t count_ = 0;
  const char* stop_ = nullptr;
};

// Sources shorter than this get a record per byte, and one more, without a
// count: no split gives more words than that, the records cost at most 6 KiB,
// and counting a line costs about as much as splitting it.
inline constexpr size_t kCountedSplitBytes = 1024;

// Runs one split: the old words go first, whatever the source; a null or
// empty source leaves the store empty. Otherwise the source is loaded with
// `trailing_nuls` NULs, records are made for `bound(buffer, length)` words,
// at least as many as the split gives (or for length + 1 words when the
// source is short), and `scan(buffer, length, recorder)` fills them in one
// pass. Running out of memory leaves the store empty with
// its storage released, instead of leaving the command as an exception.
template <typename Bound, typename Scan>
void RunSplit(const char* source, size_t trailing_nuls, Bound bound,
              Scan scan) noexcept {
  ClearSplitWords();
  try {
    std::string_view text = ArgView(source);
    if (text.empty()) {
      SplitBuffer().Resize(0);  // gives back a large buffer; never throws
      return;
    }
    char* buffer = LoadSplitBuffer(text, trailing_nuls);
    SplitWords().Reserve(text.size() < kCountedSplitBytes
                             ? text.size() + 1
                             : bound(buffer, text.size()));
    WordRecorder recorder(buffer, SplitWords());
    scan(buffer, text.size(), recorder);
    const char* limit = buffer + text.size() + 1;
    SplitWords().Keep(recorder.Finish(limit),
                      static_cast<uint32_t>(limit - buffer));
  } catch (...) {
    SplitWords().Release();
    SplitBuffer().Release();
  }
}

// Registers the unload clean-ups of the two arrays: SplitWords first, then
// SplitBuffer, so that at unload SplitBuffer is released before SplitWords.
void RegisterSplitStoreCleanups();

}  // namespace vellum
