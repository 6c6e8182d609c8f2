#include "commands/split/split_store.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vellum {

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
