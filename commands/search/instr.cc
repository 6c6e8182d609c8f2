// INSTR: the leftmost occurrence of a search string, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"
#include "scan/string_search.h"

namespace vellum {
namespace {

// ScanForString for what its short path does not take. Out of line, so
// that the short path keeps to the registers and needs no stack frame.
VELLUM_NOINLINE int32_t ScanForStringLong(const char* from,
                                          const char* search) {
  if (search[1] == '\0') {
    return PositionOf(from, short_text::FindByte(from, search[0]));
  }
  size_t at = FindString(short_text::View(from), short_text::View(search));
  return at == kNotFound ? 0 : PositionOf(from, from + at);
}

// Position, counted from `from`, of the first occurrence of a non-empty
// `search` in the string at `from`. Its callers count from the start of
// the source, so that no register holds that start during the search.
int32_t ScanForString(const char* from, const char* search) {
  short_text::ShortSearch found;
  if (!short_text::FindMatches(from, search, &found)) {
    return ScanForStringLong(from, search);
  }
  return found.matches != 0 ? PositionOf(from, from + LowestBit(found.matches))
                            : 0;
}

}  // namespace

int32_t Instr_2(const char* source, const char* search) {
  if (vellum::IsEmpty(source) || vellum::IsEmpty(search)) return 0;
  return vellum::ScanForString(source, search);
}

int32_t Instr_3(const char* source, const char* search,
                int32_t start_position) {
  if (start_position == 1) return Instr_2(source, search);
  return vellum::ScanFromPosition(
      source, start_position, vellum::IsEmpty(search), [=](const char* from) {
        int32_t at = vellum::ScanForString(from, search);
        return at != 0 ? vellum::PositionOf(source, from + at - 1) : 0;
      });
}

}  // namespace vellum
