#include "commands/split/split_store.h"

#include <cstdlib>
#include <new>

namespace vellum {

namespace {

// Both arrays are built on first use, in static memory, and never destroyed:
// only the clean-ups registered at start-up release their storage. A static
// destructor would run in an order relative to those clean-ups that depends
// on link order, and heap-allocated array objects would outlive the module
// once it is unloaded.
template <typename Array>
Array& BuiltOnFirstUse() {
  alignas(Array) static unsigned char space[sizeof(Array)];
  static Array* array = new (space) Array();
  return *array;
}

}  // namespace

std::vector<char>& SplitBuffer() { return BuiltOnFirstUse<std::vector<char>>(); }

std::vector<SplitWordRecord>& SplitWords() {
  return BuiltOnFirstUse<std::vector<SplitWordRecord>>();
}

void ClearSplitWords() noexcept { SplitWords().clear(); }

char* LoadSplitBuffer(std::string_view source, size_t trailing_nuls) {
  std::vector<char>& buffer = SplitBuffer();
  // Emptied first, so that growing copies none of the old bytes.
  buffer.clear();
  buffer.reserve(source.size() + trailing_nuls);
  buffer.insert(buffer.end(), source.begin(), source.end());
  buffer.insert(buffer.end(), trailing_nuls, '\0');
  return buffer.data();
}

namespace {

// Swapping with an empty array frees the storage and leaves all three of
// the array's pointers null.
void ReleaseSplitWords() { std::vector<SplitWordRecord>().swap(SplitWords()); }
void ReleaseSplitBuffer() { std::vector<char>().swap(SplitBuffer()); }

}  // namespace

void RegisterSplitStoreCleanups() {
  std::atexit(ReleaseSplitWords);
  std::atexit(ReleaseSplitBuffer);
}

}  // namespace vellum
