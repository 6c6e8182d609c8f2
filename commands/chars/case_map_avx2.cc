// The 32-byte case map. Everything after the target pragma is compiled for
// AVX2 and runs only where ChosenIsa() says so; the headers come before it so
// that no shared inline function is compiled for AVX2.
#include <immintrin.h>

#include "commands/chars/case_map.h"

#if defined(__GNUC__)
#pragma GCC target("avx2")
#endif

namespace vellum {

namespace {

void MapWideBlockAt(const unsigned char* in, unsigned char* out, size_t at,
                    unsigned char first) {
  const __m256i to_signed = _mm256_set1_epi8(static_cast<char>(0x80 - first));
  const __m256i limit = _mm256_set1_epi8(static_cast<char>(-128 + 26));
  const __m256i bytes =
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + at));
  const __m256i letters =
      _mm256_cmpgt_epi8(limit, _mm256_add_epi8(bytes, to_signed));
  _mm256_storeu_si256(
      reinterpret_cast<__m256i*>(out + at),
      _mm256_xor_si256(bytes,
                       _mm256_and_si256(letters, _mm256_set1_epi8(0x20))));
}

}  // namespace

void MapLetterCaseAvx2(const unsigned char* in, unsigned char* out,
                       size_t count, unsigned char first) {
  if (count < 32) return MapLetterCaseSse2(in, out, count, first);
  size_t i = 0;
  for (; i + 32 <= count; i += 32) MapWideBlockAt(in, out, i, first);
  if (i < count) MapWideBlockAt(in, out, count - 32, first);
}

}  // namespace vellum
