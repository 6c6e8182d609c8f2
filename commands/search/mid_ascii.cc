// MID ASCII: the code of the byte at a position.
#include "commands/search/search_commands.h"
#include "host/host_string.h"
#include "scan/short_text.h"

namespace vellum {

int32_t MidAsc(const char* source_string, int32_t start_position) {
  if (start_position < 1) {
    return FailInteger(kErrorPositionTooLow);
  }
  if (source_string == nullptr) return 0;
  // Past the end the walk stops on the terminator, whose code is 0.
  size_t at = short_text::BoundedLength(
      source_string, static_cast<size_t>(start_position) - 1);
  return static_cast<unsigned char>(source_string[at]);
}

}  // namespace vellum
