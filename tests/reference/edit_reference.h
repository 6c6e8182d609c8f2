// The editing commands as plain references: replacing by search string as
// the byte walk that takes occurrences leftmost first without overlap,
// trims that strip one byte at a time, sections and pads by slicing the
// unchanged source, and CSV quoting byte by byte. Each gives what the
// command must: its result, null told apart from an empty string, and its
// error word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vellum::reference {

using Arg = std::optional<std::string>;  // nullopt is a null pointer

struct Outcome {
  Arg text;
  int32_t error = 0;
};

// Compares at every read position: a match writes `insert` and jumps over
// itself, anything else copies one byte. At most `limit` replacements.
std::string WalkReplace(const std::string& source, const std::string& search,
                        const std::string& insert, size_t limit);

// REPLACE$ (`limit` 1), REPLACE ALL$ and REMOVE ALL$ (no insert).
Outcome Replace(const Arg& source, const Arg& search, const Arg& insert,
                size_t limit);

enum Ends { kStart = 1, kEnd = 2, kBoth = 3 };

// `members` is the set (spaces for the forms without one). An empty source
// or set gives null; stripping everything gives null from the two-sided
// trims and an allocated empty string from the one-sided ones.
Outcome Trim(const Arg& source, const std::string& members, Ends ends);

// The section commands check the position first (error 110 below 1), then
// the size (error 112 below 0); a size of 0 means the rest of the source.
Outcome Mid(const Arg& source, int32_t start, int32_t size);
Outcome RemoveSection(const Arg& source, int32_t start, int32_t size);
// Past the end of the source the gap is filled with spaces.
Outcome Insert(const Arg& source, int32_t position, const Arg& insert);
Outcome ReplaceSection(const Arg& source, int32_t start, int32_t size,
                       const Arg& insert);

// Pads on `side` to `size` bytes with the fill's first byte, or spaces.
Outcome Pad(const Arg& source, const Arg& fill, int32_t size, Ends side);

// Quoted, with quotes doubled, when `force` is set or the source holds a
// separator or quote, or begins or ends with what a reader would change.
Outcome DelimitCsv(const Arg& source, int32_t force);
Outcome Quote(const Arg& source);
// A lone double quote both starts and ends the source; it comes back
// unchanged.
Outcome UnQuote(const Arg& source);

}  // namespace vellum::reference
