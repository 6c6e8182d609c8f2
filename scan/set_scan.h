// Scan of a NUL-terminated string for the first byte that belongs to a set.
#pragma once

#include <string_view>

namespace vellum {

// Address of the first byte at or after `from` that occurs in `members`, or
// null when the terminator comes first. Duplicates in `members` make no
// difference and a NUL in it is never found. Reads no page that the string
// does not own.
const char* FindAnyByte(const char* from, std::string_view members);

// The versions it chooses between for sets of three or more members: one
// byte at a time through a bit map (every processor, any set), and sixteen
// at a time with the string-compare instruction (SSE4.2: only where
// ChosenIsa() is, in a build that holds SSE4.2 code, and for at most 16
// distinct members).
const char* FindAnyByteSse2(const char* from, std::string_view members);
const char* FindAnyByteSse42(const char* from, std::string_view members);

}  // namespace vellum
