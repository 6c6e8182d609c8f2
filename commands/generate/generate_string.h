// GENERATE STRING$: a string of random characters, each drawn independently
// and uniformly from an alphabet by position (a character that occurs twice
// is twice as likely; bytes 128 to 255 are characters like any other). The
// draws continue the one module-wide sequence of RandomSource.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// GENERATE STRING$(Size): `size` characters from the 62 digits and Latin
// letters "0-9a-zA-Z". A size of 0 gives an allocated empty string and
// draws nothing; a size below 0 raises 112, gives null and draws nothing.
VELLUM_EXPORT HostString GenerateSequence(HostString old_result, int32_t size);

// GENERATE STRING$(SourceChars, Size): `size` characters of `source_chars`.
// GENERATE STRING$("x", 5) is "xxxxx" and draws nothing. A null or empty
// alphabet, or a size of 0, gives an allocated empty string and draws
// nothing; a size below 0 raises 112 and gives null.
VELLUM_EXPORT HostString GenerateSequenceFromList(HostString old_result,
                                                  const char* source_chars,
                                                  int32_t size);

}  // namespace vellum
