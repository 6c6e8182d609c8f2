// STRING COUNT: the number of non-overlapping occurrences, left to right.
#include "commands/search/search_commands.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"
#include "scan/string_search.h"

namespace vellum {

namespace {

// CountString for what its short path does not take. Out of line, so that
// the short path keeps to the registers and needs no stack frame.
VELLUM_NOINLINE int32_t CountStringLong(const char* source,
                                        const char* search) {
  return static_cast<int32_t>(vellum::CountStrings(
      vellum::short_text::View(source), vellum::short_text::View(search)));
}

}  // namespace

int32_t CountString(const char* source, const char* search) {
  if (source == nullptr || search == nullptr) return 0;
  vellum::short_text::ShortSearch found;
  if (!vellum::short_text::FindMatches(source, search, &found)) {
    return CountStringLong(source, search);
  }
  return static_cast<int32_t>(
      vellum::short_text::WalkedCount(found.matches, found.pattern_size));
}

}  // namespace vellum
