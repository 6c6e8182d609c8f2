// SPLIT COUNT, GET SPLIT WORD$, GET SPLIT WORD POS and GET SPLIT DELIMITER$
// (also named SPLIT WORD$, SPLIT WORD POS and SPLIT DELIMITER$): read the
// words of the last split by their 1-based number without changing them.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// The number of words of the last split; 0 before any split and after a
// split of a null or empty source.
VELLUM_EXPORT int32_t SplitCount();

// A copy of word `word_number`. An empty word in range is an allocated empty
// string; a number past the count gives null. A number below 1 raises 110
// and gives null.
VELLUM_EXPORT HostString SplitWord(HostString old_result, int32_t word_number);

// Where word `word_number` starts, counted from word 1's first byte, which is
// position 1: after SPLIT STRING "a,b,c" by "," word 3 is at 5. Past the
// count gives -1; a number below 1 raises 110 and gives 0.
VELLUM_EXPORT int32_t SplitWordStart(int32_t word_number);

// The one-byte string that ended word `word_number`. The last word never
// reports one, so the last word, 0 and numbers past the count give null; a
// number below 0 raises 110 and gives null.
VELLUM_EXPORT HostString SplitDelimiter(HostString old_result,
                                        int32_t word_number);

}  // namespace vellum
