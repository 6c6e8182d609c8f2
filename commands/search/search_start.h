// What the forward searches share: their argument test, the start-position
// skip and the position they answer with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/byte_scan.h"

namespace vellum {

inline bool IsEmpty(const char* text) {
  return text == nullptr || *text == '\0';
}

// 1-based position of `match` in the string starting at `base`; 0 for null.
inline int32_t PositionOf(const char* base, const char* match) {
  return match ? static_cast<int32_t>(match - base) + 1 : 0;
}

// Address of byte `start_position` (at least 1) of `source`, which may be
// its terminator, or null when the string is shorter than start - 1 bytes.
// Takes no account of bytes past that one.
inline const char* SkipTo(const char* source, int32_t start_position) {
  size_t skip = static_cast<size_t>(start_position) - 1;
  return BoundedLength(source, skip) == skip ? source + skip : nullptr;
}

}  // namespace vellum
