// DELIMIT CSV$, QUOTE$ and UNQUOTE$: writing and reading one double-quoted
// field. None raises an error; a null argument is the empty string.
#pragma once

#include <cstdint>

#include "host/core_interface.h"
#include "host/export.h"

namespace vellum {

// `source` made fit to stand as one field of a comma-separated line. It is
// quoted, with every double quote inside doubled, when `force_flag` is not 0,
// when it holds a comma or a double quote, when it starts with a space, tab
// or "=", or when it ends with a space or tab; otherwise it comes back as a
// copy. Line breaks do not quote. DELIMIT CSV$("a,b") is "\"a,b\"";
// DELIMIT CSV$("") is an allocated empty string, DELIMIT CSV$("", 1) "\"\"".
VELLUM_EXPORT HostString DelimitCsv(HostString old_result, const char* source);
VELLUM_EXPORT HostString DelimitCsvForce(HostString old_result,
                                         const char* source,
                                         int32_t force_flag);

// `source` between double quotes, unchanged inside: QUOTE$("a\"b") is
// "\"a\"b\"", QUOTE$("") is "\"\"". Never null.
VELLUM_EXPORT HostString QuoteString(HostString old_result, const char* source);

// `source` without its enclosing pair of double quotes, with doubled quotes
// inside left doubled: UNQUOTE$("\"a\"\"b\"") is "a\"\"b". A source that does
// not both start and end with a quote, a lone quote among them, comes back as
// a copy; a null or empty source gives null.
VELLUM_EXPORT HostString UnQuoteString(HostString old_result,
                                       const char* source);

}  // namespace vellum
