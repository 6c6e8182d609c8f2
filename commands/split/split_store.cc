#include "commands/split/split_store.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
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

StoreArray<char>& SplitBuffer() { return BuiltOnFirstUse<StoreArray<char>>(); }

SplitWordList& SplitWords() { return BuiltOnFirstUse<SplitWordList>(); }

void ClearSplitWords() noexcept { SplitWords().Reserve(0); }

char* LoadSplitBuffer(std::string_view source, size_t trailing_nuls) {
  if (source.size() > UINT32_MAX - trailing_nuls) throw std::bad_alloc();
  char* buffer = SplitBuffer().Resize(source.size() + trailing_nuls);
  std::memcpy(buffer, source.data(), source.size());
  std::memset(buffer + source.size(), 0, trailing_nuls);
  return buffer;
}

size_t SplitStoreBytes() {
  return SplitBuffer().storage_bytes() + SplitWords().storage_bytes();
}

namespace {

void ReleaseSplitWords() { SplitWords().Release(); }
void ReleaseSplitBuffer() { SplitBuffer().Release(); }

}  // namespace

void RegisterSplitStoreCleanups() {
  std::atexit(ReleaseSplitWords);
  std::atexit(ReleaseSplitBuffer);
}

}  // namespace vellum
