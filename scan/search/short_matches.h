// Matches of a search string of two or three bytes that cannot overlap
// itself, found in the same pass that measures the text. For such a string
// every start that holds its bytes is a match of the left-to-right walk, so
// the walk needs no compare and no state between matches, and the text's
// terminator can be looked for in the blocks the filter reads anyway.
#pragma once

#include <cstddef>
#include <string_view>

namespace vellum {

// Whether ScanShortMatches takes `pattern`: two or three bytes, none of them
// NUL, its first byte not its last. Those are exactly the short strings with
// no proper prefix that is also a suffix, so no two matches overlap.
bool IsShortUnbordered(std::string_view pattern);

// What one pass tells: the text's length, the number of its matches, and how
// many of the first of them were stored.
struct ShortMatches {
  size_t length;
  size_t count;
  size_t stored;
};

// The entries past `capacity` that ScanShortMatches may overwrite.
inline constexpr size_t kShortMatchSlack = 2;

// Measures the NUL-terminated `text` and counts the matches of a pattern
// that IsShortUnbordered takes, storing the offsets of the first of them,
// leftmost first, in `out`: at most `capacity`, and all of them when there
// are at least 128 fewer. `out` holds `capacity` + kShortMatchSlack entries.
// Reads no page the text does not own.
ShortMatches ScanShortMatches(const char* text, std::string_view pattern,
                              size_t* out, size_t capacity);

// The same 16 bytes at a time (SSE2, every processor) and 32 at a time
// (AVX2: only where ChosenIsa() is, in a build that holds AVX2 code); the
// one above chooses between them.
ShortMatches ScanShortMatchesSse2(const char* text, std::string_view pattern,
                                  size_t* out, size_t capacity);
ShortMatches ScanShortMatchesAvx2(const char* text, std::string_view pattern,
                                  size_t* out, size_t capacity);

}  // namespace vellum
