// Scan of a NUL-terminated string for the first byte that belongs to a set.
#pragma once

#include <string_view>

namespace vellum {

// Address of the first byte at or after `from` that occurs in `members`, or
// null when the terminator comes first. Duplicates in `members` make no
// difference and a NUL in it is never found. Reads no page that the string
// does not own.
const char* FindAnyByte(const char* from, std::string_view members);

}  // namespace vellum
