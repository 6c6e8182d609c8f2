#include "commands/chars/case_map.h"

#include <emmintrin.h>

#include "scan/cpu_features.h"

namespace vellum {

// Sixteen bytes at a time: a letter is a byte whose distance from `first`,
// moved into the signed range, compares below -128 + 26; its case bit flips.
VELLUM_NOINLINE void MapLetterCaseSse2(const unsigned char* in,
                                       unsigned char* out, size_t count,
                                       unsigned char first) {
  const __m128i to_signed = _mm_set1_epi8(static_cast<char>(0x80 - first));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i case_bit = _mm_set1_epi8(0x20);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i letters = _mm_cmplt_epi8(_mm_add_epi8(bytes, to_signed), limit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_xor_si128(bytes, _mm_and_si128(letters, case_bit)));
  }
  for (; i < count; ++i) {
    unsigned char byte = in[i];
    out[i] = byte ^ (static_cast<unsigned char>(byte - first) < 26 ? 0x20 : 0);
  }
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
