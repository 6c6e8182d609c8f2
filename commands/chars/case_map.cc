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

void MapBlockAt(const unsigned char* in, unsigned char* out, size_t at,
                unsigned char first) {
  _mm_storeu_si128(
      reinterpret_cast<__m128i*>(out + at),
      MapBlock(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at)),
               first));
}

// Maps the 8 bytes at `at`, or the 4, through the low lane of a block.
void MapEightAt(const unsigned char* in, unsigned char* out, size_t at,
                unsigned char first) {
  _mm_storel_epi64(
      reinterpret_cast<__m128i*>(out + at),
      MapBlock(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + at)),
               first));
}

void MapFourAt(const unsigned char* in, unsigned char* out, size_t at,
               unsigned char first) {
  int32_t word;
  std::memcpy(&word, in + at, 4);
  word = _mm_cvtsi128_si32(MapBlock(_mm_cvtsi32_si128(word), first));
  std::memcpy(out + at, &word, 4);
}

}  // namespace

void MapFewLetterCases(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first) {
  if (count >= 8) {
    MapEightAt(in, out, 0, first);
    MapEightAt(in, out, count - 8, first);
  } else if (count >= 4) {
    MapFourAt(in, out, 0, first);
    MapFourAt(in, out, count - 4, first);
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
  for (; i + 16 <= count; i += 16) MapBlockAt(in, out, i, first);
  if (i < count) MapBlockAt(in, out, count - 16, first);
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
