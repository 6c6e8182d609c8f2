// LAST INSTR, STRING COUNT, COMPARE and MID ASCII over the search routines.
#include <cstring>
#include <string_view>

#include "commands/search/search_commands.h"
#include "scan/string_compare.h"
#include "scan/string_search.h"
#include "host/host_string.h"

using vellum::ArgView;

int32_t ReverseInstr(const char* source, const char* search) {
  // The search string is measured last: a match is checked from the end of
  // the source, so the bytes compared are the ones most recently measured.
  std::string_view text = ArgView(source);
  std::string_view pattern = ArgView(search);
  size_t at = vellum::FindLastString(text, pattern);
  return at == vellum::kNotFound ? 0 : static_cast<int32_t>(at) + 1;
}

int32_t CountString(const char* source, const char* search) {
  return static_cast<int32_t>(
      vellum::CountStrings(ArgView(source), ArgView(search)));
}

int32_t Compare(const char* first, const char* second) {
  return vellum::CompareSignedBytes(first ? first : vellum::EmptyString,
                                    second ? second : vellum::EmptyString);
}

int32_t MidAsc(const char* source_string, int32_t start_position) {
  if (start_position < 1) {
    vellum::RaiseHostError(vellum::kErrorPositionTooLow);
    return 0;
  }
  if (source_string == nullptr) return 0;
  // Past the end the walk stops on the terminator, whose code is 0.
  size_t at = strnlen(source_string, static_cast<size_t>(start_position) - 1);
  return static_cast<unsigned char>(source_string[at]);
}
