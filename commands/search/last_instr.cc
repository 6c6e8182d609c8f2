// LAST INSTR: the rightmost occurrence of a search string.
#include <string_view>

#include "commands/search/search_commands.h"
#include "commands/search/short_search.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/search/string_search.h"
#include "scan/short_text.h"

namespace vellum {

// Out of line, so that the short paths keep to the registers.
VELLUM_NOINLINE int32_t LastMatchLong(const char* source, const char* search) {
  // The search string is measured last: a match is checked from the end of
  // the source, so the bytes compared are the ones most recently measured.
  std::string_view text = short_text::View(source);
  std::string_view pattern = short_text::View(search);
  size_t at = FindLastString(text, pattern);
  return at == kNotFound ? 0 : static_cast<int32_t>(at) + 1;
}

int32_t ReverseInstr(const char* source, const char* search) {
  return ShortSearch<LastMatchAnswer>(source, search);
}

}  // namespace vellum
