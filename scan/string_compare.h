// Three-way comparison of NUL-terminated strings with bytes taken as signed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/bits.h"
#include "scan/short_text.h"

namespace vellum {

// -1, 0 or 1 as the byte `a` orders before, equal to or after `b`, both
// taken as signed.
inline int SignedOrder(char a, char b) {
  auto x = static_cast<signed char>(a);
  auto y = static_cast<signed char>(b);
  return (x > y) - (x < y);
}

// CompareSignedBytes past its first bytes: 128-byte rounds where the AVX2
// version is chosen, 16-byte blocks otherwise.
int CompareLongSignedBytes(const char* first, const char* second);

// -1, 0 or 1 as `first` orders before, equal to or after `second`, both
// non-null. Bytes compare as signed 8-bit values, so 128 to 255 order
// before the terminator and before 1 to 127: a string orders after itself
// extended by 'a' but before itself extended by the byte 233. Most strings
// compared differ or end within a few bytes, so the first kSpan bytes are
// tested inline, before any call or wider round.
inline int CompareSignedBytes(const char* first, const char* second) {
  if (short_text::InReach(first) && short_text::InReach(second)) {
    uint32_t stops =
        short_text::Zeros32(first) | ~short_text::Same32(first, second);
    if (stops != 0) {
      unsigned at = LowestBit(stops);
      return SignedOrder(first[at], second[at]);
    }
    first += short_text::kSpan;
    second += short_text::kSpan;
  }
  return CompareLongSignedBytes(first, second);
}

// The same with 16-byte SSE2 blocks only, and with 128-byte AVX2 rounds
// where they fit (only where ChosenIsa() is AVX2, in a build that holds
// AVX2 code); CompareLongSignedBytes chooses.
int CompareSignedBytesSse2(const char* first, const char* second);
int CompareSignedBytesAvx2(const char* first, const char* second);

// The AVX2 rounds: how many leading bytes, in whole 128-byte rounds, are
// equal in both strings and not the terminator, taking only rounds that
// stay in the pages of both strings' first bytes.
size_t EqualRoundsAvx2(const char* first, const char* second);

}  // namespace vellum
