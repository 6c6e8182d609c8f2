// FIND CHAR: the first byte that belongs to a set, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "commands/search/short_search.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/set_scan.h"
#include "scan/short_text.h"

namespace vellum {

// Out of line, so that the short paths keep to the registers.
VELLUM_NOINLINE int32_t FirstOfSetLong(const char* from, const char* set) {
  return PositionOf(from, FindAnyByte(from, short_text::View(set)));
}

namespace {

VELLUM_NOINLINE int32_t FirstOfSetSse2(const char* from, const char* set) {
  if (from == nullptr || set == nullptr) return 0;
  return PositionOf(from,
                    short_text::FindAnyByte(from, short_text::WordView(set)));
}

// Position, counted from `from`, of the first byte of the string at `from`
// that is in `set`, or 0.
int32_t FirstOfSet(const char* from, const char* set) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return FirstOfSetAvx2(from, set);
  }
  return FirstOfSetSse2(from, set);
}

}  // namespace

int32_t FindChar_2(const char* source, const char* search_characters) {
  // From the first byte there is nothing to check: the scan itself finds
  // nothing in a null or empty source or set.
  return FirstOfSet(source, search_characters);
}

int32_t FindChar_3(const char* source, const char* search_characters,
                   int32_t start_position) {
  if (start_position == 1) return FindChar_2(source, search_characters);
  return ScanFromPositionOutOfLine<FirstOfSet>(source, search_characters,
                                               start_position);
}

}  // namespace vellum
