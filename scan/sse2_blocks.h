// The pieces shared by the 16-byte SSE2 scans.
//
// Scans over NUL-terminated strings cannot know where the string ends, so
// they read whole aligned 16-byte blocks: an aligned block never straddles a
// page boundary, so it lies in a page that the string owns even when part of
// it comes before the string's first byte or after its terminator. Those
// extra bytes are masked off or ignored, never used. Where two strings are
// walked together and cannot both be aligned, an unaligned block is read
// only when it ends in the page of its first byte. The address sanitizer
// would still report the extra bytes, so such scans carry
// VELLUM_READS_WHOLE_BLOCKS.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/bits.h"

#if defined(_MSC_VER)
#define VELLUM_READS_WHOLE_BLOCKS __declspec(no_sanitize_address)
#else
#define VELLUM_READS_WHOLE_BLOCKS __attribute__((no_sanitize_address))
#endif

namespace vellum::sse2 {

inline constexpr size_t kBlock = 16;
inline constexpr uintptr_t kPageSize = 4096;

inline uintptr_t Address(const void* p) {
  return reinterpret_cast<uintptr_t>(p);
}

inline const char* AlignDown(const char* p, uintptr_t alignment) {
  return reinterpret_cast<const char*>(Address(p) & ~(alignment - 1));
}

inline size_t PageOffset(const char* p) { return Address(p) & (kPageSize - 1); }

// Both loads carry the attribute themselves: an unoptimised build does not
// inline them into the scans that do.
VELLUM_READS_WHOLE_BLOCKS inline __m128i LoadAligned(const char* p) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
}

VELLUM_READS_WHOLE_BLOCKS inline __m128i LoadUnaligned(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void StoreUnaligned(char* p, __m128i block) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), block);
}

inline __m128i Splat(char byte) { return _mm_set1_epi8(byte); }

// Bit i set when byte i of `block` is zero.
inline unsigned ZeroBytes(__m128i block) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128())));
}

// Bit i set when byte i of `a` equals byte i of `b`.
inline unsigned EqualBytes(__m128i a, __m128i b) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
}

// Copies the whole blocks of `text` to `out`: a block without `byte` as it
// is, and a block with it by `mixed(out, offset, mask)`, which writes the
// block at `offset` of `text`, whose bit i of `mask` is set where byte i
// is `byte`, and returns where the output goes on. Returns the output's
// end; `*copied` is the offset of the bytes after the whole blocks.
template <typename Mixed>
char* CopyBlocksOfFew(char* out, std::string_view text, char byte,
                      size_t* copied, Mixed mixed) {
  const __m128i wanted = Splat(byte);
  size_t i = 0;
  for (; i + kBlock <= text.size(); i += kBlock) {
    const __m128i block = LoadUnaligned(text.data() + i);
    const unsigned mask = EqualBytes(block, wanted);
    if (mask == 0) {
      StoreUnaligned(out, block);
      out += kBlock;
    } else {
      out = mixed(out, i, mask);
    }
  }
  *copied = i;
  return out;
}

}  // namespace vellum::sse2

namespace vellum {

// The 16-byte block as the width-generic walks take it (scan/*_walk.h);
// Avx2Vector in scan/avx2_blocks.h is its 32-byte counterpart.
struct Sse2Vector {
  using Block = __m128i;
  static constexpr size_t kSize = 16;

  static Block Load(const char* p) { return sse2::LoadAligned(p); }
  static Block LoadUnaligned(const char* p) { return sse2::LoadUnaligned(p); }
  static Block Splat(char byte) { return sse2::Splat(byte); }
  static Block Zero() { return _mm_setzero_si128(); }
  static Block Equal(Block a, Block b) { return _mm_cmpeq_epi8(a, b); }
  static Block And(Block a, Block b) { return _mm_and_si128(a, b); }
  static Block Or(Block a, Block b) { return _mm_or_si128(a, b); }
  static Block Xor(Block a, Block b) { return _mm_xor_si128(a, b); }
  static Block Min(Block a, Block b) { return _mm_min_epu8(a, b); }
  static Block SubtractBytes(Block a, Block b) { return _mm_sub_epi8(a, b); }

  // Of a compare's result, whose bytes are all ones or zero: bit i set
  // when byte i is all ones; and whether any is. Bit i set when byte i of
  // `block` is zero.
  static uint32_t MatchBits(Block block) {
    return static_cast<uint16_t>(_mm_movemask_epi8(block));
  }
  static uint32_t ZeroBits(Block block) { return sse2::ZeroBytes(block); }
  static bool AnyMatch(Block block) { return _mm_movemask_epi8(block) != 0; }

  // The bytes summed in 64-bit lanes, lanes added, and all lanes summed.
  static Block SumBytes(Block block) { return _mm_sad_epu8(block, Zero()); }
  static Block AddLanes(Block a, Block b) { return _mm_add_epi64(a, b); }
  static uint64_t SumLanes(Block block) {
    alignas(16) uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), block);
    return lanes[0] + lanes[1];
  }

  // Without the population-count instruction, which SSE2 does not promise.
  static size_t CountBits(uint64_t bits) { return CountBits64(bits); }
};

}  // namespace vellum
