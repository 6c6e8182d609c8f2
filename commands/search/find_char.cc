// FIND CHAR: the first byte that belongs to a set, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "host/host_string.h"
#include "scan/set_scan.h"

namespace vellum {
namespace {

int32_t ScanForAnyChar(const char* base, const char* from, const char* set) {
  return PositionOf(base, FindAnyByte(from, ArgView(set)));
}

}  // namespace
}  // namespace vellum

using vellum::IsEmpty;

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
  const char* from = vellum::SkipTo(source, start_position);
  return from ? vellum::ScanForAnyChar(source, from, search_characters) : 0;
}
