// LAST INSTR: the rightmost occurrence of a search string.
#include <string_view>

#include "commands/search/search_commands.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"
#include "scan/string_search.h"

namespace vellum {

namespace {

// ReverseInstr for what its short path does not take. Out of line, so that
// the short path keeps to the registers and needs no stack frame.
VELLUM_NOINLINE int32_t ReverseInstrLong(const char* source,
                                         const char* search) {
  // The search string is measured last: a match is checked from the end of
  // the source, so the bytes compared are the ones most recently measured.
  std::string_view text = vellum::short_text::View(source);
  std::string_view pattern = vellum::short_text::View(search);
  size_t at = vellum::FindLastString(text, pattern);
  return at == vellum::kNotFound ? 0 : static_cast<int32_t>(at) + 1;
}

}  // namespace

int32_t ReverseInstr(const char* source, const char* search) {
  if (source == nullptr || search == nullptr) return 0;
  vellum::short_text::ShortSearch found;
  if (!vellum::short_text::FindMatches(source, search, &found)) {
    return ReverseInstrLong(source, search);
  }
  return found.matches != 0
             ? static_cast<int32_t>(vellum::HighestBit(found.matches)) + 1
             : 0;
}

}  // namespace vellum
