// FIND ASCII: the first byte with a given code, from the first byte or from
// a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

// Only the low 8 bits of the code take part; 0 is never found.
int32_t ScanForChar(const char* base, const char* from, int32_t code) {
  return PositionOf(base, short_text::FindByte(from, static_cast<char>(code)));
}

// The forms with a start other than 1, out of line: FindAsc_3 then holds
// nothing of them but a jump.
VELLUM_NOINLINE int32_t FindAscFrom(const char* source, int32_t search_ascii,
                                    int32_t start_pos) {
  return ScanFromPosition(source, start_pos, search_ascii == 0,
                          [=](const char* from) {
                            return ScanForChar(source, from, search_ascii);
                          });
}

}  // namespace

int32_t FindAsc_2(const char* source, int32_t search_ascii) {
  // From the first byte there is nothing to check: the scan itself finds
  // nothing in an empty source or for a code of 0.
  return source ? ScanForChar(source, source, search_ascii) : 0;
}

int32_t FindAsc_3(const char* source, int32_t search_ascii, int32_t start_pos) {
  if (start_pos == 1) return FindAsc_2(source, search_ascii);
  return FindAscFrom(source, search_ascii, start_pos);
}

}  // namespace vellum
