// PADLEFT$ and PADRIGHT$: the source lengthened to `size` bytes with a fill
// character before or after it. The fill is the first byte of
// `padding_char`, a space when that is null or empty or not given. A source
// already `size` bytes long or longer comes back as a whole copy, never cut.
// A negative size raises 112 and gives null, checked before anything else; a
// size whose result would not fit a 32-bit size gives null without error.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// PADLEFT$("ab", 5) is "   ab"; PADLEFT$("ab", "*-", 5) is "***ab";
// PADLEFT$("abcdef", 3) is "abcdef"; PADRIGHT$("ab", "*", 5) is "ab***",
// and otherwise as PADLEFT$. An empty source with size 0 gives an allocated
// empty string: the pads never give null without an error.
VELLUM_EXPORT HostString PadLeft(HostString old_result, const char* source,
                                 int32_t size);
VELLUM_EXPORT HostString PadRight(HostString old_result, const char* source,
                                  int32_t size);
VELLUM_EXPORT HostString PadLeftChar(HostString old_result, const char* source,
                                     const char* padding_char, int32_t size);
VELLUM_EXPORT HostString PadRightChar(HostString old_result, const char* source,
                                      const char* padding_char, int32_t size);

}  // namespace vellum
