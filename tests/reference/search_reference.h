// The search routines and the search commands as plain references: scans
// that try every start in turn, written from the rules rather than for
// speed, against which the filtered and vector searches must agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vellum::reference {

// Substring searches over measured strings, 0-based offsets or kNotFound.
// An empty pattern is found at `from` (or at the end, searching backwards);
// counting and walking take non-empty patterns.
size_t NaiveFind(std::string_view text, std::string_view pattern, size_t from);
size_t NaiveFindLast(std::string_view text, std::string_view pattern);
// The occurrences from `from` on, leftmost first and not overlapping.
std::vector<size_t> NaiveMatches(std::string_view text,
                                 std::string_view pattern, size_t from);
size_t NaiveCount(std::string_view text, std::string_view pattern);

// The first byte of `text` that is in `set`, or kNotFound.
size_t NaiveFindAny(std::string_view text, std::string_view set);

// -1, 0 or 1 as the first differing bytes, read as signed, compare; past
// its end a string reads as its terminator.
int NaiveCompare(std::string_view a, std::string_view b);

// The commands: 1-based positions, 0 for none. A start is the 1-based
// position to search from; starts below 1 are the caller's to refuse.
int32_t Position(size_t offset);
int32_t Instr(std::string_view source, std::string_view search, int32_t start);
int32_t FindChar(std::string_view source, std::string_view set, int32_t start);
// Looks for the code modulo 256; code 0 finds nothing.
int32_t FindAscii(std::string_view source, int32_t code, int32_t start);
// The byte at `start`, unsigned, or 0 at and past the end.
int32_t MidAscii(std::string_view source, int32_t start);

}  // namespace vellum::reference
