// REPLACE$, REPLACE ALL$, REMOVE$ and REMOVE ALL$ by search string: the source
// with the first or every occurrence of a search string replaced or removed.
// Matching is byte-exact; occurrences are taken leftmost first and do not
// overlap, and inserted text is never searched again. A null or empty source
// gives null; a null or empty search, or one that does not occur, gives a
// copy of the source; a result that would not fit a 32-bit size gives null.
// None raises an error.
#pragma once

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// REPLACE$("a-b-c", "-", "+") is "a+b-c"; a null insert removes.
VELLUM_EXPORT HostString ReplaceString(HostString old_result,
                                       const char* source, const char* search,
                                       const char* insert);

// REPLACE ALL$("a-b-c", "-", "+") is "a+b+c"; REPLACE ALL$("aaa", "aa", "b")
// is "ba"; REPLACE ALL$("abc", "b", "bb") is "abbc".
VELLUM_EXPORT HostString ReplaceStringAll(HostString old_result,
                                          const char* source,
                                          const char* search,
                                          const char* insert);

// REMOVE$("Hello", "l") is "Helo"; REMOVE ALL$("Hello", "l") is "Heo", and
// REMOVE ALL$("abab", "ab") an allocated empty string.
VELLUM_EXPORT HostString RemoveString(HostString old_result, const char* source,
                                      const char* search);
VELLUM_EXPORT HostString RemoveStringAll(HostString old_result,
                                         const char* source,
                                         const char* search);

}  // namespace vellum
