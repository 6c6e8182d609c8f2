// SPLIT STRING: cuts a source into words at every byte of a delimiter set and
// leaves them in the split store for the split queries.
#pragma once

#include "host/export.h"

// Every byte of `source` that occurs in `delimiters` ends one word, so
// "a,,b" split by "," gives "a", "" and "b", a delimiter at either end gives
// an empty word there, and nothing is trimmed. A null or empty `delimiters`
// gives one word, the whole source; a null or empty `source` gives no words.
// Reads exactly two arguments, so it also serves the table row that declares
// an array before them.
VELLUM_EXPORT void SplitString(const char* source, const char* delimiters);
