// Substring search and counting over measured strings. Offsets are 0-based;
// kNotFound means no match. Matching is byte-exact. Every routine here takes
// time linear in the text plus the pattern, whatever their contents.
#pragma once

#include <cstddef>
#include <string_view>

namespace vellum {

inline constexpr size_t kNotFound = std::string_view::npos;

// Offset of the leftmost occurrence of a non-empty `pattern` in `text` at or
// after `from`, or kNotFound. An empty pattern is found at `from` when
// `from` is within the text, as std::string_view::find does.
size_t FindString(std::string_view text, std::string_view pattern,
                  size_t from = 0);

// Offset of the rightmost occurrence of a non-empty `pattern` in `text`,
// overlapping occurrences included (the last 'aa' of 'aaa' is at 1), or
// kNotFound; kNotFound too for an empty pattern.
size_t FindLastString(std::string_view text, std::string_view pattern);

// Number of non-overlapping occurrences of a non-empty `pattern`, taken left
// to right, each search resuming just after the previous match; 0 for an
// empty text or pattern. The one counting routine: REPLACE ALL$ sizes its
// result with it.
size_t CountStrings(std::string_view text, std::string_view pattern);

}  // namespace vellum
