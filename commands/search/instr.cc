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

int32_t Instr_2(const char* source, const char* search) {
  return ShortSearch<FirstMatchAnswer>(source, search);
}

int32_t Instr_3(const char* source, const char* search,
                int32_t start_position) {
  if (start_position == 1) return Instr_2(source, search);
  return ScanFromPositionOutOfLine<ShortSearch<FirstMatchAnswer>>(
      source, search, start_position);
}

}  // namespace vellum
