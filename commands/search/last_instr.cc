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

namespace {

VELLUM_NOINLINE int32_t LastMatchSse2(const char* source, const char* search) {
  if (source == nullptr || search == nullptr) return 0;
  short_text::ShortSearch found;
  if (!short_text::FindMatches(source, search, &found)) {
    return LastMatchLong(source, search);
  }
  return found.matches != 0
             ? static_cast<int32_t>(HighestBit(found.matches)) + 1
             : 0;
}

}  // namespace

int32_t ReverseInstr(const char* source, const char* search) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return LastMatchAvx2(source, search);
    }
  }
  return LastMatchSse2(source, search);
}

}  // namespace vellum
