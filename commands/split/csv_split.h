// SPLIT CSV STRING: reads one record of separated, optionally quoted fields
// into the split store for the split queries.
#pragma once

#include "host/export.h"

namespace vellum {

// Splits `source` at commas, with fields quoted by double quotes: the
// three-argument form with "," and a double quote.
VELLUM_EXPORT void SplitCsvString(const char* source);

// Splits `source` at the first byte of `separator` (a comma when it is null
// or empty). A field may be quoted with the first byte of `quote`; a null or
// empty `quote` quotes nothing. Inside quotes the separator is an ordinary
// byte and a doubled quote stands for one quote. Whitespace (space, tab, LF,
// VT, FF, CR) before a field and after an unquoted one is dropped, and so is
// whatever follows a quoted field's closing quote up to the separator:
//   « a , 'b,c'x ,d,» by "," and "'" gives "a", "b,c", "d" and ""
// A quoted field that the source ends keeps the rest of the source; a lone
// quote after a closing quote opens quoting again, and the word then ends at
// the field's last lone quote. A
// separator that ends an unquoted field as the source's last byte gives an
// empty last word; a separator followed only by whitespace gives none, and
// a run of whitespace separators acts as one. Word positions count from word
// 1's first byte. A null or empty `source` gives no words.
VELLUM_EXPORT void SplitCsvString3(const char* source, const char* separator,
                                   const char* quote);

// The three-argument form with a double quote as `quote`. No table row names
// it.
VELLUM_EXPORT void SplitCsvString2(const char* source, const char* separator);

}  // namespace vellum
