// The split store: the words of the last split, kept for the queries until
// the next split replaces them. A split copies its source once into
// SplitBuffer and cuts the words out of that copy in place by writing NULs;
// each word is then only a record of where it starts and what ended it.
#pragma once

#include <string_view>
#include <vector>

#include "host/host_string.h"

namespace vellum {

struct SplitWordRecord {
  char* text;      // the word's first byte in SplitBuffer, NUL-terminated
  char delimiter;  // the byte that ended the word; 0 for the source's end
};

// The working copy of the last non-empty source. Its storage is kept from
// split to split and freed only at unload.
std::vector<char>& SplitBuffer();

// One record per word, in source order; word n is at index n - 1.
std::vector<SplitWordRecord>& SplitWords();

// Forgets every word. The records' storage is kept for the next split, so
// that splitting the same size of text again allocates nothing; it is
// released at unload.
void ClearSplitWords() noexcept;

// Makes SplitBuffer the bytes of `source` followed by `trailing_nuls` NULs,
// growing its storage only when it is too small, and returns its first byte.
// Only called after ClearSplitWords, so no record points into storage that
// the growth moves.
char* LoadSplitBuffer(std::string_view source, size_t trailing_nuls);

// Appends the record {text, 0}.
inline void AppendSplitWord(char* text) { SplitWords().push_back({text, 0}); }

// Runs one split: the old words go first, whatever the source; a null or
// empty source leaves the store empty; otherwise `cut(source)` fills it. Any
// failure to grow the store (out of memory) leaves it empty instead of
// leaving the command as an exception.
template <typename Cut>
void RunSplit(const char* source, Cut cut) noexcept {
  ClearSplitWords();
  if (source == nullptr || *source == '\0') return;
  try {
    cut(ArgView(source));
  } catch (...) {
    ClearSplitWords();
  }
}

// Registers the unload clean-ups of the two arrays: SplitWords first, then
// SplitBuffer, so that at unload SplitBuffer is released before SplitWords.
void RegisterSplitStoreCleanups();

}  // namespace vellum
