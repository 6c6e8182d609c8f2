// The short paths of short_text.h in single 32-byte AVX2 blocks: a short
// string is one load, a search string's byte is broadcast straight from
// memory, and each test is one compare, where SSE2 needs two of each and a
// register copy besides. The same reach rule holds: a string is read from
// its first byte over the next kReach bytes only when they share its page.
// Only the *_avx2.cc files include this, after their target pragma, as they
// do avx2_blocks.h; short_text.h, which it builds on, comes before it.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/avx2_blocks.h"
#include "scan/bits.h"
#include "scan/short_text.h"

namespace vellum::short_text {

VELLUM_READS_WHOLE_BLOCKS inline uint32_t EqualWide(__m256i bytes,
                                                    __m256i wanted) {
  return static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, wanted)));
}

// Bit i set for each of the first kSpan bytes from `at` that equals its
// byte of `pattern`'s first kSpan bytes: both in reach.
VELLUM_READS_WHOLE_BLOCKS inline uint32_t SameWide(const char* at,
                                                   const char* pattern) {
  return EqualWide(LoadWideUnaligned(at), LoadWideUnaligned(pattern));
}

// MatchStarts over one block: the first, last and second bytes of every
// start at once, then for longer patterns one compare per start that
// passes. `block` holds the kSpan bytes from `text`, and `text_end` has a
// bit set for each NUL among them. No start needs testing against the
// text's length: a non-empty pattern has no NUL, so every start whose bytes
// reach the terminator fails there, and only the starts past the
// terminator, whose bytes are not the text's, are masked off.
VELLUM_READS_WHOLE_BLOCKS inline uint32_t MatchStartsWide(
    const char* text, __m256i block, uint32_t text_end,
    std::string_view pattern) {
  const size_t m = pattern.size();
  __m256i passing =
      _mm256_and_si256(_mm256_cmpeq_epi8(block, _mm256_set1_epi8(pattern[0])),
                       _mm256_cmpeq_epi8(LoadWideUnaligned(text + m - 1),
                                         _mm256_set1_epi8(pattern[m - 1])));
  if (m > 2) {
    passing = _mm256_and_si256(passing,
                               _mm256_cmpeq_epi8(LoadWideUnaligned(text + 1),
                                                 _mm256_set1_epi8(pattern[1])));
  }
  uint32_t starts = static_cast<uint32_t>(_mm256_movemask_epi8(passing)) &
                    (text_end ^ (text_end - 1));
  if (m <= 3) return starts;
  uint32_t matches = 0;
  for (; starts != 0; starts &= starts - 1) {
    unsigned s = LowestBit(starts);
    if ((~SameWide(text + s, pattern.data()) & LowBits(m)) == 0) {
      matches |= uint32_t{1} << s;
    }
  }
  return matches;
}

// FindMatches with the text in one block.
VELLUM_READS_WHOLE_BLOCKS inline bool FindMatchesWide(const char* text,
                                                      const char* pattern,
                                                      ShortSearch* found) {
  if (!InReach(text)) return false;
  const __m256i block = LoadWideUnaligned(text);
  uint32_t text_end = EqualWide(block, _mm256_setzero_si256());
  if (text_end == 0) return false;
  size_t m = WordLength(pattern);
  if (m >= sse2::kBlock || (m > 3 && !InReach(pattern))) return false;
  found->text_size = LowestBit(text_end);
  found->pattern_size = m;
  found->matches =
      m == 0 ? 0 : MatchStartsWide(text, block, text_end, {pattern, m});
  return true;
}

// FindAnyByte with the kSpan bytes in one block, for the set of members
// that the NUL-terminated `set` holds: each member is compared as it is
// read, so that the set needs no measuring first. Null when `from` is not
// in reach, or has no terminator in its block, or the set has more than
// kInlineMembers members: then `*answered` is false, and the long way must
// answer.
VELLUM_READS_WHOLE_BLOCKS inline const char* FindAnyByteWide(const char* from,
                                                             const char* set,
                                                             bool* answered) {
  *answered = false;
  if (!InReach(from)) return nullptr;
  const __m256i block = LoadWideUnaligned(from);
  __m256i hits = _mm256_setzero_si256();
  size_t i = 0;
  for (; i < kInlineMembers && set[i] != '\0'; ++i) {
    hits = _mm256_or_si256(hits,
                           _mm256_cmpeq_epi8(block, _mm256_set1_epi8(set[i])));
  }
  if (set[i] != '\0') return nullptr;
  uint32_t ends = EqualWide(block, _mm256_setzero_si256());
  uint32_t found =
      static_cast<uint32_t>(_mm256_movemask_epi8(hits)) & (ends ^ (ends - 1));
  if (found != 0) {
    *answered = true;
    return from + LowestBit(found);
  }
  *answered = ends != 0;
  return nullptr;
}

}  // namespace vellum::short_text
