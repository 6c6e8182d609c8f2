// COMPARE: three-way order of two strings, bytes taken as signed.
#include "commands/search/search_commands.h"
#include "host/host_string.h"
#include "scan/string_compare.h"

namespace vellum {

int32_t Compare(const char* first, const char* second) {
  return CompareSignedBytes(first ? first : EmptyString,
                            second ? second : EmptyString);
}

}  // namespace vellum
