// INSTR: the leftmost occurrence of a search string, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "host/host_string.h"
#include "scan/short_text.h"
#include "scan/string_search.h"

namespace vellum {
namespace {

// Position, counted from `base`, of the first occurrence of a non-empty
// `search` at or after `from`, somewhere in the string at `base`.
int32_t ScanForString(const char* base, const char* from, const char* search) {
  short_text::ShortSearch found;
  if (short_text::FindMatches(from, search, &found)) {
    return found.matches != 0
               ? PositionOf(base, from + LowestBit(found.matches))
               : 0;
  }
  if (search[1] == '\0') {
    return PositionOf(base, short_text::FindByte(from, search[0]));
  }
  size_t at = FindString(short_text::View(from), short_text::View(search));
  return at == kNotFound ? 0 : PositionOf(base, from + at);
}

}  // namespace
}  // namespace vellum

int32_t Instr_2(const char* source, const char* search) {
  if (vellum::IsEmpty(source) || vellum::IsEmpty(search)) return 0;
  return vellum::ScanForString(source, source, search);
}

int32_t Instr_3(const char* source, const char* search,
                int32_t start_position) {
  if (start_position == 1) return Instr_2(source, search);
  return vellum::ScanFromPosition(
      source, start_position, vellum::IsEmpty(search), [=](const char* from) {
        return vellum::ScanForString(source, from, search);
      });
}
