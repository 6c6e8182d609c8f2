// INSTR, FIND CHAR, FIND ASCII, LAST INSTR, COMPARE, STRING COUNT and
// MID ASCII: integer functions over host strings. None allocates, and a
// null string argument reads as the empty string. Positions are 1-based and
// counted from the source's first byte even when a search starts later; 0
// means nothing was found.
#pragma once

#include <cstdint>

#include "host/export.h"

namespace vellum {

// Position of the leftmost occurrence of `search` in `source`, or 0.
// INSTR("abcabc", "bc") is 2 and INSTR("aaa", "aa") is 1; an empty or null
// `search` or `source` gives 0.
VELLUM_EXPORT int32_t Instr_2(const char* source, const char* search);

// As INSTR from byte `start_position` on: INSTR("abcabc", "bc", 3) is 5.
// A start of length + 1 or beyond gives 0 without an error; a start below 1
// raises 110 and gives 0, before any other check.
VELLUM_EXPORT int32_t Instr_3(const char* source, const char* search,
                              int32_t start_position);

// Position of the first byte of `source` that occurs anywhere in
// `search_characters`, or 0. FIND CHAR("hello, world", " ,") is 6; an empty
// or null set or source gives 0.
VELLUM_EXPORT int32_t FindChar_2(const char* source,
                                 const char* search_characters);

// As FIND CHAR from byte `start_position` on, with INSTR's start rules:
// FIND CHAR("abcabc", "ca", 2) is 3.
VELLUM_EXPORT int32_t FindChar_3(const char* source,
                                 const char* search_characters,
                                 int32_t start_position);

// Position of the first byte whose value is `search_ascii` modulo 256, or
// 0. FIND ASCII("abc", 354) is 2; 0 and any multiple of 256 find nothing.
VELLUM_EXPORT int32_t FindAsc_2(const char* source, int32_t search_ascii);

// As FIND ASCII from byte `start_pos` on, with INSTR's start rules:
// FIND ASCII("abcb", 98, 3) is 4.
VELLUM_EXPORT int32_t FindAsc_3(const char* source, int32_t search_ascii,
                                int32_t start_pos);

// Position of the rightmost occurrence of `search`, overlapping ones
// included: LAST INSTR("aaaa", "aa") is 3. 0 when absent, empty or null.
VELLUM_EXPORT int32_t ReverseInstr(const char* source, const char* search);

// -1, 0 or 1 as `first` orders before, equal to or after `second`, byte by
// byte with bytes taken as signed (128 to 255 order before the end of a
// string and before 1 to 127). COMPARE("a", "ab") is -1, COMPARE("A", "a")
// is -1; null compares as "".
VELLUM_EXPORT int32_t Compare(const char* first, const char* second);

// Number of non-overlapping occurrences of `search`, left to right:
// STRING COUNT("aaaa", "aa") is 2 and STRING COUNT("aaa", "aa") is 1. 0 for
// an empty or null argument.
VELLUM_EXPORT int32_t CountString(const char* source, const char* search);

// Code (0 to 255) of the byte at `start_position`: MID ASCII("abc", 2) is
// 98. 0 past the end or for an empty or null source; a position below 1
// raises 110 and gives 0, before the source is looked at.
VELLUM_EXPORT int32_t MidAsc(const char* source_string, int32_t start_position);

}  // namespace vellum
