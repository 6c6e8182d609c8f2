// The searches' short paths in one 32-byte block each: a short source is
// one load, a search string's byte is broadcast straight from memory, and
// each test is one compare, where SSE2 needs two of each and a register
// copy besides. The reach rule of short_text.h holds: a string is read from
// its first byte over the next kReach bytes only when they share its page.
// The region's code runs only where ChosenIsa() says so: AVX2, with the
// bit instructions (BMI1, BMI2, LZCNT) that come with it.
#include <immintrin.h>

#include <cstdint>
#include <string_view>

#include "commands/search/search_start.h"
#include "commands/search/short_search.h"
#include "scan/avx2_blocks.h"
#include "scan/bits.h"
#include "scan/short_text.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt,bmi,bmi2,lzcnt")

namespace vellum {
namespace {

using short_text::InReach;
using short_text::kInlineMembers;
using short_text::LowBits;
using short_text::WordLength;

// Bit i set for each of the first kSpan bytes from `at` that equals its
// byte of `pattern`'s first kSpan bytes: both in reach.
VELLUM_READS_WHOLE_BLOCKS uint32_t SameWide(const char* at,
                                            const char* pattern) {
  return Avx2Vector::MatchBits(
      Avx2Vector::Equal(LoadWideUnaligned(at), LoadWideUnaligned(pattern)));
}

// Those of `starts` from `text` where `pattern`, of four to kSpan - 1
// bytes and in reach, stands whole, one compare each.
VELLUM_READS_WHOLE_BLOCKS uint32_t WholeMatchesAvx2(const char* text,
                                                    uint32_t starts,
                                                    const char* pattern) {
  const uint32_t bytes = LowBits(WordLength(pattern));
  uint32_t matches = 0;
  for (; starts != 0; starts &= starts - 1) {
    unsigned s = LowestBit(starts);
    if ((~SameWide(text + s, pattern) & bytes) == 0) {
      matches |= uint32_t{1} << s;
    }
  }
  return matches;
}

// A search's answer from the starts that pass the byte tests of a pattern
// of four bytes or more, out of line and reached by a jump: its loop needs
// more general registers than the 32-bit build has, and a call that came
// back, or a spilled register, would give the short path a stack frame,
// realigned for the 32-byte registers on every call.
template <class Answer>
VELLUM_NOINLINE int32_t WholeAnswerAvx2(const char* text, uint32_t starts,
                                        const char* pattern) {
  return Answer::Of(WholeMatchesAvx2(text, starts, pattern),
                    WordLength(pattern));
}

// The starts of `text` where the first, last and second bytes of `pattern`
// stand, all at once in one block, and the pattern's size. No start needs
// testing against the text's length: a non-empty pattern has no NUL, so
// every start whose bytes reach the terminator fails there, and only the
// starts past the terminator, whose bytes are not the text's, are masked
// off. For a pattern of up to three bytes these are its matches. False
// when `text` is not in reach or has no terminator in its block, or the
// pattern has kBlock bytes or more, or more than three and is not in reach:
// the long way must answer.
VELLUM_READS_WHOLE_BLOCKS inline bool PassingStartsAvx2(const char* text,
                                                        const char* pattern,
                                                        uint32_t* starts,
                                                        size_t* pattern_size) {
  if (!InReach(text)) return false;
  const __m256i block = LoadWideUnaligned(text);
  const uint32_t text_end = Avx2Vector::ZeroBits(block);
  if (text_end == 0) return false;
  const size_t m = WordLength(pattern);
  if (m >= sse2::kBlock || (m > 3 && !InReach(pattern))) return false;
  *pattern_size = m;
  if (m == 0) {
    *starts = 0;
    return true;
  }
  __m256i passing =
      _mm256_and_si256(_mm256_cmpeq_epi8(block, _mm256_set1_epi8(pattern[0])),
                       _mm256_cmpeq_epi8(LoadWideUnaligned(text + m - 1),
                                         _mm256_set1_epi8(pattern[m - 1])));
  if (m > 2) {
    passing = _mm256_and_si256(passing,
                               _mm256_cmpeq_epi8(LoadWideUnaligned(text + 1),
                                                 _mm256_set1_epi8(pattern[1])));
  }
  *starts = static_cast<uint32_t>(_mm256_movemask_epi8(passing)) &
            (text_end ^ (text_end - 1));
  return true;
}

// FindAnyByte with the kSpan bytes in one block, for the set of members
// that the NUL-terminated `set` holds: each member is compared as it is
// read, so that the set needs no measuring first. Null when `from` is not
// in reach, or has no terminator in its block, or the set has more than
// kInlineMembers members: then `*answered` is false, and the long way must
// answer.
VELLUM_READS_WHOLE_BLOCKS const char* FindAnyByteAvx2(const char* from,
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
  uint32_t ends = Avx2Vector::ZeroBits(block);
  uint32_t found =
      static_cast<uint32_t>(_mm256_movemask_epi8(hits)) & (ends ^ (ends - 1));
  if (found != 0) {
    *answered = true;
    return from + LowestBit(found);
  }
  *answered = ends != 0;
  return nullptr;
}

}  // namespace

template <class Answer>
int32_t AnswerAvx2(const char* text, const char* pattern) {
  if (text == nullptr || pattern == nullptr) return 0;
  uint32_t starts;
  size_t m;
  if (!PassingStartsAvx2(text, pattern, &starts, &m)) {
    return Answer::Long(text, pattern);
  }
  if (starts == 0) return 0;
  if (m > 3) return WholeAnswerAvx2<Answer>(text, starts, pattern);
  return Answer::Of(starts, m);
}

template int32_t AnswerAvx2<FirstMatchAnswer>(const char*, const char*);
template int32_t AnswerAvx2<LastMatchAnswer>(const char*, const char*);
template int32_t AnswerAvx2<MatchCountAnswer>(const char*, const char*);

int32_t FirstOfSetAvx2(const char* from, const char* set) {
  if (from == nullptr || set == nullptr) return 0;
  bool answered;
  const char* found = FindAnyByteAvx2(from, set, &answered);
  if (!answered) return FirstOfSetLong(from, set);
  return PositionOf(from, found);
}

}  // namespace vellum

VELLUM_UNTARGET_REGION
