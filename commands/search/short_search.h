// The searches' answers for the strings that short_text.h reads whole, in
// their AVX2 versions (short_search_avx2.cc), and the long ways that both
// versions of a short path hand over to. Each command's own file holds its
// SSE2 short path and a dispatcher that jumps to one or the other, so that
// the version is chosen before any vector code runs.
#pragma once

#include <cstdint>

namespace vellum {

// Position, counted from `from`, of the first occurrence of `search` in the
// string at `from`, or 0; 0 when either is empty.
int32_t FirstMatchLong(const char* from, const char* search);
int32_t FirstMatchAvx2(const char* from, const char* search);

// Position of the last occurrence of `search` in `source`, or 0; both not
// null.
int32_t LastMatchLong(const char* source, const char* search);
int32_t LastMatchAvx2(const char* source, const char* search);

// Number of non-overlapping occurrences, left to right; both not null.
int32_t MatchCountLong(const char* source, const char* search);
int32_t MatchCountAvx2(const char* source, const char* search);

// Position, counted from `from`, of the first byte of the string at `from`
// that is in the string `set`, or 0.
int32_t FirstOfSetLong(const char* from, const char* set);
int32_t FirstOfSetAvx2(const char* from, const char* set);

}  // namespace vellum
