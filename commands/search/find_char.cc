// FIND CHAR: the first byte that belongs to a set, from the first byte or
// from a start position.
#include "commands/search/search_commands.h"
#include "commands/search/search_start.h"
#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

int32_t ScanForAnyChar(const char* base, const char* from, const char* set) {
  return PositionOf(base, short_text::FindAnyByte(from, short_text::View(set)));
}

}  // namespace
}  // namespace vellum

int32_t FindChar_2(const char* source, const char* search_characters) {
  // A start of 1 never raises.
  return FindChar_3(source, search_characters, 1);
}

int32_t FindChar_3(const char* source, const char* search_characters,
                   int32_t start_position) {
  return vellum::ScanFromPosition(
      source, start_position, vellum::IsEmpty(search_characters),
      [=](const char* from) {
        return vellum::ScanForAnyChar(source, from, search_characters);
      });
}
