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

// The same, thirty-two bytes at a time; only where HasAvx2().
void MapLetterCaseAvx2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first);

}  // namespace vellum
