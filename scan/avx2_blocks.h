// The 32-byte loads of the AVX2 scans, and Avx2Vector, the counterpart of
// Sse2Vector for the width-generic walks. Everything here is compiled for
// AVX2 in a target region of its own and carries AVX2 in its name, so no
// copy of it can stand in for SSE2 code; every processor with AVX2 also has
// the population-count instruction.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

#include "scan/sse2_blocks.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt")

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

inline unsigned CountBitsWide(uint64_t bits) {
#if defined(__GNUC__)
  return static_cast<unsigned>(__builtin_popcountll(bits));
#else
  return __popcnt(static_cast<uint32_t>(bits)) +
         __popcnt(static_cast<uint32_t>(bits >> 32));
#endif
}

struct Avx2Vector {
  using Block = __m256i;
  static constexpr size_t kSize = kWide;

  static Block Load(const char* p) { return LoadWide(p); }
  static Block LoadUnaligned(const char* p) { return LoadWideUnaligned(p); }
  static Block Splat(char byte) { return _mm256_set1_epi8(byte); }
  static Block Zero() { return _mm256_setzero_si256(); }
  static Block Equal(Block a, Block b) { return _mm256_cmpeq_epi8(a, b); }
  static Block And(Block a, Block b) { return _mm256_and_si256(a, b); }
  static Block Or(Block a, Block b) { return _mm256_or_si256(a, b); }
  static Block Xor(Block a, Block b) { return _mm256_xor_si256(a, b); }
  static Block Min(Block a, Block b) { return _mm256_min_epu8(a, b); }
  static Block SubtractBytes(Block a, Block b) { return _mm256_sub_epi8(a, b); }

  static uint32_t MatchBits(Block block) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(block));
  }
  static uint32_t ZeroBits(Block block) {
    return MatchBits(Equal(block, Zero()));
  }
  static bool AnyMatch(Block block) {
    return !_mm256_testz_si256(block, block);
  }

  static Block SumBytes(Block block) { return _mm256_sad_epu8(block, Zero()); }
  static Block AddLanes(Block a, Block b) { return _mm256_add_epi64(a, b); }
  static uint64_t SumLanes(Block block) {
    alignas(32) uint64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), block);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
  }

  static size_t CountBits(uint64_t bits) { return CountBitsWide(bits); }
};

}  // namespace vellum

VELLUM_UNTARGET_REGION
