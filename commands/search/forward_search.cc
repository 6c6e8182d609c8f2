// INSTR, FIND CHAR and FIND ASCII: checks, the start-position skip, and the
// scan that answers with a position counted from the source's first byte.
#include <cstring>

#include "scan/byte_scan.h"
#include "commands/search/search_commands.h"
#include "scan/set_scan.h"
#include "scan/string_search.h"
#include "host/host_string.h"

namespace vellum {
namespace {

// 1-based position of `match` in the string starting at `base`; 0 for null.
int32_t PositionOf(const char* base, const char* match) {
  return match ? static_cast<int32_t>(match - base) + 1 : 0;
}

// Each scan starts at `from`, somewhere in the string at `base` (possibly
// its terminator), and answers with a position counted from `base`.
int32_t ScanForChar(const char* base, const char* from, char byte) {
  return PositionOf(base, FindByte(from, byte));
}

int32_t ScanForAnyChar(const char* base, const char* from, const char* set) {
  return PositionOf(base, FindAnyByte(from, set));
}

int32_t ScanForString(const char* base, const char* from, const char* search) {
  if (search[1] == '\0') return ScanForChar(base, from, search[0]);
  size_t at = FindString(from, search);
  return at == kNotFound ? 0 : PositionOf(base, from + at);
}

// Address of byte `start_position` (at least 1) of `source`, which may be
// its terminator, or null when the string is shorter than start - 1 bytes.
// Reads no further than the terminator or that byte.
const char* SkipTo(const char* source, int32_t start_position) {
  size_t skip = static_cast<size_t>(start_position) - 1;
  return strnlen(source, skip) == skip ? source + skip : nullptr;
}

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

}  // namespace
}  // namespace vellum

using vellum::IsEmpty;
using vellum::SkipTo;

int32_t Instr_2(const char* source, const char* search) {
  if (IsEmpty(source) || IsEmpty(search)) return 0;
  return vellum::ScanForString(source, source, search);
}

int32_t Instr_3(const char* source, const char* search,
                int32_t start_position) {
  if (start_position < 1) {
    vellum::RaiseHostError(vellum::kErrorPositionTooLow);
    return 0;
  }
  if (IsEmpty(source) || IsEmpty(search)) return 0;
  const char* from = SkipTo(source, start_position);
  return from ? vellum::ScanForString(source, from, search) : 0;
}

int32_t FindChar_2(const char* source, const char* search_characters) {
  if (IsEmpty(source) || IsEmpty(search_characters)) return 0;
  return vellum::ScanForAnyChar(source, source, search_characters);
}

int32_t FindChar_3(const char* source, const char* search_characters,
                   int32_t start_position) {
  if (start_position < 1) {
    vellum::RaiseHostError(vellum::kErrorPositionTooLow);
    return 0;
  }
  if (IsEmpty(source) || IsEmpty(search_characters)) return 0;
  const char* from = SkipTo(source, start_position);
  return from ? vellum::ScanForAnyChar(source, from, search_characters) : 0;
}

int32_t FindAsc_2(const char* source, int32_t search_ascii) {
  if (IsEmpty(source) || search_ascii == 0) return 0;
  return vellum::ScanForChar(source, source, static_cast<char>(search_ascii));
}

int32_t FindAsc_3(const char* source, int32_t search_ascii, int32_t start_pos) {
  if (start_pos < 1) {
    vellum::RaiseHostError(vellum::kErrorPositionTooLow);
    return 0;
  }
  if (IsEmpty(source) || search_ascii == 0) return 0;
  const char* from = SkipTo(source, start_pos);
  return from ? vellum::ScanForChar(source, from,
                                    static_cast<char>(search_ascii))
              : 0;
}
