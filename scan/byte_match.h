// Matching a source against a few byte values sixteen bytes at a time. The
// splitters cut words at bytes from a small set (a delimiter set of a few
// bytes, a separator, a quote, the terminating NUL); one SSE2 compare per
// value turns sixteen bytes into a bit mask, which beats a bit test per byte
// when words are short and a library call per word when they are long.
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
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, splats_[0]),
                                  _mm_cmpeq_epi8(bytes, splats_[1])),
                     _mm_or_si128(_mm_cmpeq_epi8(bytes, splats_[2]),
                                  _mm_cmpeq_epi8(bytes, splats_[3])));
    return static_cast<uint32_t>(_mm_movemask_epi8(hits));
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
  char values_[kMaxValues];
  __m128i splats_[kMaxValues];
};

}  // namespace vellum
