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
// code); the one above chooses between them.
void MapLetterCaseSse2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);
void MapLetterCaseAvx2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);

}  // namespace vellum
