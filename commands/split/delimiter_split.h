// SPLIT STRING: cuts a source into words at every byte of a delimiter set and
// leaves them in the split store for the split queries.
#pragma once

#include "host/export.h"

namespace vellum {

// Every byte of `source` that occurs in `delimiters` ends one word, so
// "a,,b" split by "," gives "a", "" and "b", a delimiter at either end gives
// an empty word there, and nothing is trimmed. A null or empty `delimiters`
// gives one word, the whole source; a null or empty `source` gives no words.
// The command table has no form of SPLIT STRING with an array: the runtime's
// compiler refuses the "!" such a row begins with and then reads no row after
// it, and this export has nothing to fill an array with.
VELLUM_EXPORT void SplitString(const char* source, const char* delimiters);

}  // namespace vellum
