// MID$, REMOVE$, INSERT$ and REPLACE$ by position: a section of the source
// fixed by a 1-based start position and a size in bytes. The position is
// checked before the size, both before the source is read: a position below
// 1 raises 110, a negative size 112, and either gives null. A result that
// would not fit a 32-bit size (a position near 2^31 far past the end) gives
// null without an error.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// The `size` bytes of `source` from `start_position`, cut at the end; a size
// of 0 means to the end. MID$("Hello", 2, 3) is "ell", MID$("Hello", 2, 0)
// is "ello". Starting just past the end (position 6 of "Hello") gives an
// allocated empty string; further out, or from a null or empty source, null.
VELLUM_EXPORT HostString Mid(HostString old_result, const char* source,
                             int32_t start_position, int32_t size);

// `source` without the `size` bytes from `start_position` (to the end when
// the size is 0 or runs past it). REMOVE$("Hello", 2, 3) is "Ho"; removing
// everything gives an allocated empty string; a position beyond the end
// gives a copy of the source; a null or empty source gives null.
VELLUM_EXPORT HostString RemoveSection(HostString old_result,
                                       const char* source,
                                       int32_t start_position, int32_t size);

// `source` with `insert` put in before `insert_position`; a position beyond
// the end first fills the gap with spaces: INSERT$("Hello", 8, "!") is
// "Hello  !". Never null once the position passes its check: an empty source
// and insert at position 1 give an allocated empty string.
VELLUM_EXPORT HostString Insert(HostString old_result, const char* source,
                                int32_t insert_position, const char* insert);

// `source` with the `size` bytes from `start_position` (cut at the end)
// replaced by `insert`; a size of 0 only inserts. REPLACE$("Hello", 2, 3,
// "XY") is "HXYo"; past the end the gap is filled with spaces, as INSERT$
// does: REPLACE$("Hello", 8, 2, "XY") is "Hello  XY". Never null once the
// checks pass.
VELLUM_EXPORT HostString ReplaceSection(HostString old_result,
                                        const char* source,
                                        int32_t start_position, int32_t size,
                                        const char* insert);

}  // namespace vellum
