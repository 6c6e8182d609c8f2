#include "commands/chars/case_map.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "scan/cpu_features.h"

namespace vellum {

namespace {

// The bytes of `bytes` with the case bit flipped in each letter: a letter
// is a byte whose distance from `first`, moved into the signed range,
// compares below -128 + 26.
__m128i MapBlock(__m128i bytes, unsigned char first) {
  const __m128i to_signed = _mm_set1_epi8(static_cast<char>(0x80 - first));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i letters = _mm_cmplt_epi8(_mm_add_epi8(bytes, to_signed), limit);
  return _mm_xor_si128(bytes, _mm_and_si128(letters, _mm_set1_epi8(0x20)));
}

// Maps the kBytes bytes at `at`, 4, 8 or 16, through the low lanes of a
// block, reading and writing only those bytes.
template <size_t kBytes>
void MapBytesAt(const unsigned char* in, unsigned char* out, size_t at,
                unsigned char first) {
  __m128i bytes = _mm_setzero_si128();
  std::memcpy(&bytes, in + at, kBytes);
  bytes = MapBlock(bytes, first);
  std::memcpy(out + at, &bytes, kBytes);
}

}  // namespace

void MapFewLetterCases(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first) {
  if (count >= 8) {
    MapBytesAt<8>(in, out, 0, first);
    MapBytesAt<8>(in, out, count - 8, first);
  } else if (count >= 4) {
    MapBytesAt<4>(in, out, 0, first);
    MapBytesAt<4>(in, out, count - 4, first);
  } else {
    for (size_t i = 0; i < count; ++i) {
      unsigned char byte = in[i];
      out[i] =
          byte ^ (static_cast<unsigned char>(byte - first) < 26 ? 0x20 : 0);
    }
  }
}

VELLUM_NOINLINE void MapLetterCaseSse2(const unsigned char* in,
                                       unsigned char* out, size_t count,
                                       unsigned char first) {
  if (count < 16) return MapFewLetterCases(in, out, count, first);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) MapBytesAt<16>(in, out, i, first);
  if (i < count) MapBytesAt<16>(in, out, count - 16, first);
}

void MapLetterCase(const unsigned char* in, unsigned char* out, size_t count,
                   unsigned char first) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return MapLetterCaseAvx2(in, out, count, first);
    }
  }
  MapLetterCaseSse2(in, out, count, first);
}

}  // namespace vellum
