// TRIMLEFT$, TRIMRIGHT$ and TRIM$: the source without the bytes of a set at
// its start, its end or both. The one-argument forms strip spaces only (tab
// and the rest stay); the forms with a set strip any byte of it, 128 to 255
// included, and an empty or null set strips nothing but gives null. A null or
// empty source always gives null. None raises an error.
#pragma once

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// TRIMLEFT$("  ab  ") is "ab  "; when every byte is stripped the result is
// an allocated empty string. TRIMLEFT$("-=a=-", "=-") is "a=-".
VELLUM_EXPORT HostString TrimLeft(HostString old_result, const char* source);
VELLUM_EXPORT HostString TrimLeftChar(HostString old_result, const char* source,
                                      const char* padding_chars);

// TRIMRIGHT$("  ab  ") is "  ab"; when every byte is stripped the result is
// an allocated empty string. TRIMRIGHT$("-=a=-", "=-") is "-=a".
VELLUM_EXPORT HostString TrimRight(HostString old_result, const char* source);
VELLUM_EXPORT HostString TrimRightChar(HostString old_result,
                                       const char* source,
                                       const char* padding_chars);

// TRIM$("  ab  ") is "ab"; unlike the one-sided trims, stripping every byte
// gives null. TRIM$("xxabyy", "xy") is "ab".
VELLUM_EXPORT HostString Trim(HostString old_result, const char* source);
VELLUM_EXPORT HostString TrimChar(HostString old_result, const char* source,
                                  const char* padding_chars);

}  // namespace vellum
