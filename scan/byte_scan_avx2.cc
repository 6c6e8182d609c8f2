// The 32-byte versions of the byte scans. Everything after the target
// pragma is compiled for AVX2 and runs only where HasAvx2() says so; the
// headers come before it so that no shared inline function is compiled
// for AVX2 and then taken by the linker for the SSE2 code.
#include <immintrin.h>

#include <cstdint>

#include "scan/byte_scan.h"
#include "scan/sse2_blocks.h"

#if defined(__GNUC__)
#pragma GCC target("avx2")
#endif

namespace vellum {
namespace {

constexpr size_t kWide = 32;

VELLUM_READS_WHOLE_BLOCKS __m256i LoadWide(const char* p) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
}

uint32_t ZeroBytesWide(__m256i block) {
  return static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(block, _mm256_setzero_si256())));
}

// As in the SSE2 scans: min(x ^ c, x) is zero where x is c or the
// terminator, and the minimum of several blocks keeps every zero.
struct StopAtByte {
  __m256i byte;
  __m256i operator()(__m256i x) const {
    return _mm256_min_epu8(_mm256_xor_si256(x, byte), x);
  }
};

struct StopAtEitherByte {
  __m256i first;
  __m256i second;
  __m256i operator()(__m256i x) const {
    return _mm256_min_epu8(_mm256_min_epu8(_mm256_xor_si256(x, first),
                                           _mm256_xor_si256(x, second)),
                           x);
  }
};

// Aligned 32-byte blocks never straddle a page boundary.
template <class Stops>
VELLUM_READS_WHOLE_BLOCKS const char* ScanToStop(const char* from,
                                                 Stops stops) {
  const char* block = sse2::AlignDown(from, kWide);
  unsigned skipped = static_cast<unsigned>(from - block);
  uint32_t hits = ZeroBytesWide(stops(LoadWide(block))) >> skipped;
  if (hits != 0) return from + sse2::LowestBit(hits);
  for (block += kWide; sse2::Address(block) & 127; block += kWide) {
    hits = ZeroBytesWide(stops(LoadWide(block)));
    if (hits != 0) return block + sse2::LowestBit(hits);
  }
  for (;; block += 4 * kWide) {
    __m256i a = stops(LoadWide(block));
    __m256i b = stops(LoadWide(block + kWide));
    __m256i c = stops(LoadWide(block + 2 * kWide));
    __m256i d = stops(LoadWide(block + 3 * kWide));
    if (ZeroBytesWide(_mm256_min_epu8(_mm256_min_epu8(a, b),
                                      _mm256_min_epu8(c, d))) == 0) {
      continue;
    }
    if ((hits = ZeroBytesWide(a)) != 0) return block + sse2::LowestBit(hits);
    if ((hits = ZeroBytesWide(b)) != 0) {
      return block + kWide + sse2::LowestBit(hits);
    }
    if ((hits = ZeroBytesWide(c)) != 0) {
      return block + 2 * kWide + sse2::LowestBit(hits);
    }
    return block + 3 * kWide + sse2::LowestBit(ZeroBytesWide(d));
  }
}

const char* NullAtTerminator(const char* stop) {
  return *stop != '\0' ? stop : nullptr;
}

}  // namespace

const char* FindByteAvx2(const char* from, char byte) {
  return NullAtTerminator(ScanToStop(from, StopAtByte{_mm256_set1_epi8(byte)}));
}

const char* FindEitherByteAvx2(const char* from, char first, char second) {
  return NullAtTerminator(ScanToStop(
      from,
      StopAtEitherByte{_mm256_set1_epi8(first), _mm256_set1_epi8(second)}));
}

}  // namespace vellum
