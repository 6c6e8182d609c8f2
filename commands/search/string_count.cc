// STRING COUNT: the number of non-overlapping occurrences, left to right.
#include "commands/search/search_commands.h"
#include "commands/search/short_search.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/search/string_search.h"
#include "scan/short_text.h"

namespace vellum {

// Out of line, so that the short paths keep to the registers.
VELLUM_NOINLINE int32_t MatchCountLong(const char* source, const char* search) {
  return static_cast<int32_t>(
      CountStrings(short_text::View(source), short_text::View(search)));
}

namespace {

VELLUM_NOINLINE int32_t MatchCountSse2(const char* source, const char* search) {
  if (source == nullptr || search == nullptr) return 0;
  short_text::ShortSearch found;
  if (!short_text::FindMatches(source, search, &found)) {
    return MatchCountLong(source, search);
  }
  return static_cast<int32_t>(
      short_text::WalkedCount(found.matches, found.pattern_size));
}

}  // namespace

int32_t CountString(const char* source, const char* search) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return MatchCountAvx2(source, search);
    }
  }
  return MatchCountSse2(source, search);
}

}  // namespace vellum
