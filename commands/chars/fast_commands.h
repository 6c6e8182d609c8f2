// FAST LEN, FAST LEFT$, FAST RIGHT$, FAST UPPER$ and FAST LOWER$: plain byte
// functions with no locale. An empty result is always null, never an
// allocated empty string.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// Bytes before the first NUL; 0 for null.
VELLUM_EXPORT int32_t FastLen(const char* source);

// The first `size` bytes of `source` (all of it when shorter). Reads no byte
// past the first `size`, so a short prefix of a long string costs only its
// own length. FAST LEFT$("abcdef", 2) is "ab"; a size of 0, or a null or
// empty source, gives null; a size below 0 raises 112 and gives null.
VELLUM_EXPORT HostString FastLeft(HostString old_result, const char* source,
                                  int32_t size);

// The last `size` bytes of `source` (all of it when shorter), with the same
// null and error cases as FAST LEFT$. FAST RIGHT$("abcdef", 2) is "ef".
VELLUM_EXPORT HostString FastRight(HostString old_result, const char* source,
                                   int32_t size);

// `source` with 'a' to 'z' made capital (FAST UPPER$) or 'A' to 'Z' made
// small (FAST LOWER$); every other byte, 0x80 to 0xFF included, unchanged.
// Null for a null or empty source.
VELLUM_EXPORT HostString FastUpper(HostString old_result, const char* source);
VELLUM_EXPORT HostString FastLower(HostString old_result, const char* source);

}  // namespace vellum
