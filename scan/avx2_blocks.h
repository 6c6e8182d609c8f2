// The 32-byte loads of the AVX2 scans. Only the *_avx2.cc files include
// this, after their target pragma, so that every copy of these inline
// functions is compiled for AVX2 and none can stand in for SSE2 code.
#pragma once

#include <immintrin.h>

#include <cstddef>

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

}  // namespace vellum
