// The two passes of DELIMIT CSV$ over a field's text, sixteen bytes at a
// time: one to learn what forces quotes and how many quotes to double, one
// to copy the text with its quotes doubled.
#pragma once

#include <cstddef>
#include <string_view>

namespace vellum {

struct QuoteCensus {
  size_t quotes;  // double quotes in the text
  bool has_comma;
};

QuoteCensus TakeQuoteCensus(std::string_view text);

// Copies `text` to `out` with a second double quote after each one and
// returns the end of the copy. May write one byte past that end, so the
// caller keeps a byte of room there (the closing quote's).
char* CopyDoublingQuotes(char* out, std::string_view text);

}  // namespace vellum
