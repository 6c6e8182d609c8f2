// Three-way comparison of NUL-terminated strings with bytes taken as signed.
#pragma once

#include <cstddef>

namespace vellum {

// -1, 0 or 1 as `first` orders before, equal to or after `second`, both
// non-null. Bytes compare as signed 8-bit values, so 128 to 255 order
// before the terminator and before 1 to 127: a string orders after itself
// extended by 'a' but before itself extended by the byte 233.
int CompareSignedBytes(const char* first, const char* second);

// The same with 16-byte SSE2 blocks only, and with 128-byte AVX2 rounds
// where they fit (only where ChosenIsa() is AVX2, in a build that holds
// AVX2 code); the one above chooses.
int CompareSignedBytesSse2(const char* first, const char* second);
int CompareSignedBytesAvx2(const char* first, const char* second);

// The AVX2 rounds: how many leading bytes, in whole 128-byte rounds, are
// equal in both strings and not the terminator, taking only rounds that
// stay in the pages of both strings' first bytes.
size_t EqualRoundsAvx2(const char* first, const char* second);

}  // namespace vellum
