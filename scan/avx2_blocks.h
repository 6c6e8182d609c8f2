// The 32-byte loads of the AVX2 scans. Only the *_avx2.cc files include
// this, after their target pragma, so that every copy of these inline
// functions is compiled for AVX2 and none can stand in for SSE2 code.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

#include "scan/sse2_blocks.h"

namespace vellum {

inline constexpr size_t kWide = 32;

// An aligned block never reaches into a page that its first byte's page
// does not share.
VELLUM_READS_WHOLE_BLOCKS inline __m256i LoadWide(const char* p) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
}

VELLUM_READS_WHOLE_BLOCKS inline __m256i LoadWideUnaligned(const char* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Number of set bits, with the population-count instruction that every
// processor with AVX2 has; the files that count enable it in their pragma.
inline unsigned CountBitsWide(uint64_t bits) {
#if defined(__GNUC__)
  return static_cast<unsigned>(__builtin_popcountll(bits));
#else
  return __popcnt(static_cast<uint32_t>(bits)) +
         __popcnt(static_cast<uint32_t>(bits >> 32));
#endif
}

}  // namespace vellum
