// Switching the case of the 26 ASCII letters in a block of bytes: the work
// of FAST UPPER$ and FAST LOWER$.
#pragma once

#include <cstddef>

namespace vellum {

// Copies `count` bytes from `in` to `out`, flipping the case bit (0x20) of
// every byte from `first` to `first` + 25 ('a'..'z' or 'A'..'Z'); every other
// byte, 0x80 to 0xFF included, is copied unchanged.
void MapLetterCase(const unsigned char* in, unsigned char* out, size_t count,
                   unsigned char first);

// The same sixteen bytes at a time (SSE2, every processor) and thirty-two
// at a time (AVX2: only where ChosenIsa() is, in a build that holds AVX2
// code); the one above chooses between them. Each maps the last bytes
// that fill no whole block as a block that overlaps the one before it:
// the bytes read are still the source's, so those mapped twice come out
// the same.
void MapLetterCaseSse2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);
void MapLetterCaseAvx2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);

// The same for fewer than sixteen bytes, which both versions leave to it:
// eight and four at a time in pairs that overlap in the middle, so that
// a word of a few letters takes no loop.
void MapFewLetterCases(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);

}  // namespace vellum
