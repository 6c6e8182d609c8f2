// INSTR: the leftmost occurrence of a search string, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "commands/search/short_search.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/search/string_search.h"
#include "scan/short_text.h"

namespace vellum {

// Out of line, so that the short paths keep to the registers. The short
// paths leave empty strings to the search itself, so they come here too.
VELLUM_NOINLINE int32_t FirstMatchLong(const char* from, const char* search) {
  if (*from == '\0' || *search == '\0') return 0;
  if (search[1] == '\0') {
    return PositionOf(from, short_text::FindByte(from, search[0]));
  }
  size_t at = FindString(short_text::View(from), short_text::View(search));
  return at == kNotFound ? 0 : PositionOf(from, from + at);
}

namespace {

VELLUM_NOINLINE int32_t FirstMatchSse2(const char* from, const char* search) {
  if (from == nullptr || search == nullptr) return 0;
  short_text::ShortSearch found;
  if (!short_text::FindMatches(from, search, &found)) {
    return FirstMatchLong(from, search);
  }
  return found.matches != 0 ? PositionOf(from, from + LowestBit(found.matches))
                            : 0;
}

// Position, counted from `from`, of the first occurrence of `search` in
// the string at `from`; 0 when either is empty or null. Its callers count from
// the start of the source, so that no register holds that start during the
// search.
int32_t FirstMatch(const char* from, const char* search) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return FirstMatchAvx2(from, search);
  }
  return FirstMatchSse2(from, search);
}

// The forms with a start other than 1, out of line: Instr_3 then holds no
// vector code of its own and hands a start of 1 on with a jump.
VELLUM_NOINLINE int32_t InstrFrom(const char* source, const char* search,
                                  int32_t start_position) {
  return ScanFromPosition(
      source, start_position, IsEmpty(search), [=](const char* from) {
        int32_t at = FirstMatch(from, search);
        return at != 0 ? PositionOf(source, from + at - 1) : 0;
      });
}

}  // namespace

int32_t Instr_2(const char* source, const char* search) {
  return FirstMatch(source, search);
}

int32_t Instr_3(const char* source, const char* search,
                int32_t start_position) {
  if (start_position == 1) return Instr_2(source, search);
  return InstrFrom(source, search, start_position);
}

}  // namespace vellum
