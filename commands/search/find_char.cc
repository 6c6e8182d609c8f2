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

int32_t FindChar_2(const char* source, const char* search_characters) {
  // From the first byte there is nothing to check: the scan itself finds
  // nothing in an empty source or for an empty set.
  if (source == nullptr || search_characters == nullptr) return 0;
  return vellum::ScanForAnyChar(source, source, search_characters);
}

int32_t FindChar_3(const char* source, const char* search_characters,
                   int32_t start_position) {
  if (start_position == 1) return FindChar_2(source, search_characters);
  return vellum::ScanFromPosition(
      source, start_position, vellum::IsEmpty(search_characters),
      [=](const char* from) {
        return vellum::ScanForAnyChar(source, from, search_characters);
      });
}

}  // namespace vellum
