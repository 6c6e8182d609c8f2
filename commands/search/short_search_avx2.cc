// The searches' short paths in one 32-byte block each. Everything after the
// target pragma is compiled for AVX2 and runs only where ChosenIsa() says
// so; the headers come before it so that no shared inline function is
// compiled for AVX2.
#include <cstdint>

#include "commands/search/search_start.h"
#include "commands/search/short_search.h"
#include "scan/bits.h"
#include "scan/short_text.h"

#if defined(__GNUC__)
#pragma GCC target("avx2,bmi,bmi2,lzcnt")
#endif

#include "scan/short_text_wide.h"

namespace vellum {

int32_t FirstMatchAvx2(const char* from, const char* search) {
  short_text::ShortSearch found;
  if (!short_text::FindMatchesWide(from, search, &found)) {
    return FirstMatchLong(from, search);
  }
  return found.matches != 0 ? static_cast<int32_t>(LowestBit(found.matches)) + 1
                            : 0;
}

int32_t LastMatchAvx2(const char* source, const char* search) {
  short_text::ShortSearch found;
  if (!short_text::FindMatchesWide(source, search, &found)) {
    return LastMatchLong(source, search);
  }
  return found.matches != 0
             ? static_cast<int32_t>(HighestBit(found.matches)) + 1
             : 0;
}

int32_t MatchCountAvx2(const char* source, const char* search) {
  short_text::ShortSearch found;
  if (!short_text::FindMatchesWide(source, search, &found)) {
    return MatchCountLong(source, search);
  }
  return static_cast<int32_t>(
      short_text::WalkedCount(found.matches, found.pattern_size));
}

int32_t FirstOfSetAvx2(const char* from, const char* set) {
  bool answered;
  const char* found = short_text::FindAnyByteWide(from, set, &answered);
  if (!answered) return FirstOfSetLong(from, set);
  return PositionOf(from, found);
}

}  // namespace vellum
