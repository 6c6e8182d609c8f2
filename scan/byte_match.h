// Matching a source against a few byte values sixteen bytes at a time. The
// splitters cut words at bytes from a small set (a delimiter set of a few
// bytes, a separator, a quote, the terminating NUL); one SSE2 compare per
// value turns sixteen bytes into a bit mask, which beats a bit test per byte
// when words are short and a library call per word when they are long.
// Not a ByteSet (scan/byte_set.h), which holds any number of values but
// tests one byte at a time: this one holds at most four, kept as vectors.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "scan/bits.h"

namespace vellum {

class ByteMatch {
 public:
  static constexpr size_t kMaxValues = 4;

  // Up to kMaxValues byte values; unused slots repeat the first one, so every
  // block costs the same four compares.
  explicit ByteMatch(std::initializer_list<char> values)
      : ByteMatch(values.begin(), values.size()) {}
  ByteMatch(const char* values, size_t count) {
    for (size_t i = 0; i < kMaxValues; ++i) {
      values_[i] = values[i < count ? i : 0];
      splats_[i] = _mm_set1_epi8(values_[i]);
    }
  }

  bool Matches(char byte) const {
    return std::find(values_, values_ + kMaxValues, byte) !=
           values_ + kMaxValues;
  }

  // Bit i is set when block[i] is one of the values; reads exactly sixteen
  // bytes.
  uint32_t Mask16(const char* block) const {
    return static_cast<uint32_t>(_mm_movemask_epi8(Hits(block)));
  }

  // How many of the `length` bytes at `text` are one of the values. Each
  // match subtracts 1 (all ones) from its byte lane, which 255 blocks cannot
  // overflow, and the lanes are summed in 64-bit halves after each run.
  size_t Count(const char* text, size_t length) const {
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    size_t i = 0;
    while (length - i >= 16) {
      __m128i lanes = zero;
      for (int run = 0; run < 255 && length - i >= 16; ++run, i += 16) {
        lanes = _mm_sub_epi8(lanes, Hits(text + i));
      }
      sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, zero));
    }
    alignas(16) uint64_t halves[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(halves), sums);
    auto count = static_cast<size_t>(halves[0] + halves[1]);
    for (; i < length; ++i) count += Matches(text[i]);
    return count;
  }

  // The first byte from `from` that is one of the values. One must come
  // before `end`: whole blocks are read only while they end by `end`, then
  // single bytes up to the match.
  char* FindFirst(char* from, const char* end) const {
    for (; end - from >= 16; from += 16) {
      if (uint32_t hits = Mask16(from)) return from + LowestBit(hits);
    }
    while (!Matches(*from)) ++from;
    return from;
  }

 private:
  // All ones in each byte of the sixteen at `block` that is one of the
  // values.
  __m128i Hits(const char* block) const {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, splats_[0]),
                                     _mm_cmpeq_epi8(bytes, splats_[1])),
                        _mm_or_si128(_mm_cmpeq_epi8(bytes, splats_[2]),
                                     _mm_cmpeq_epi8(bytes, splats_[3])));
  }

  char values_[kMaxValues];
  __m128i splats_[kMaxValues];
};

}  // namespace vellum
