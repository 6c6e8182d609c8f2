// What the forward searches share: their argument test, the start-position
// skip and the position they answer with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host_string.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"

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
  return short_text::BoundedLength(source, skip) == skip ? source + skip
                                                         : nullptr;
}

// The steps of every form with a start position, in order: a start below 1
// raises 110 before anything else is looked at; an empty source, nothing
// to seek or a start more than one past the end gives 0; otherwise
// `scan(from)` answers for the scan from the start's byte.
template <typename Scan>
int32_t ScanFromPosition(const char* source, int32_t start_position,
                         bool nothing_sought, Scan scan) {
  if (start_position < 1) return FailInteger(kErrorPositionTooLow);
  if (IsEmpty(source) || nothing_sought) return 0;
  const char* from = SkipTo(source, start_position);
  return from ? scan(from) : 0;
}

// The forms with a start other than 1 of a search whose scan from a byte,
// `first`, answers with a position counted from that byte; out of line, so
// that the export holds nothing of them but a jump and a start of 1 costs
// what the form without a start does.
template <int32_t (*first)(const char*, const char*)>
VELLUM_NOINLINE int32_t ScanFromPositionOutOfLine(const char* source,
                                                  const char* sought,
                                                  int32_t start_position) {
  return ScanFromPosition(
      source, start_position, IsEmpty(sought), [=](const char* from) {
        int32_t at = first(from, sought);
        return at != 0 ? PositionOf(source, from + at - 1) : 0;
      });
}

}  // namespace vellum
