// Short strings read whole, inline: the words, fields and lines that BASIC
// programs pass by the million, for which the set-up and the calls of the
// long scans would cost more than the work. A string is read here with
// 16-byte unaligned loads from its first byte over the next kReach bytes,
// and only when those bytes lie in the page of its first byte: the loads
// then run past the terminator, but never into a page that the string does
// not own. That holds for all but kReach - 1 of a page's 4,096 addresses;
// a string at one of those, or one with no terminator in its first kSpan
// bytes, goes the long way. Bits past a string's end are masked off, never
// used.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "scan/bits.h"
#include "scan/byte_scan.h"
#include "scan/set_scan.h"
#include "scan/sse2_blocks.h"

namespace vellum::short_text {

// A short string has fewer bytes than this, its terminator not counted.
inline constexpr size_t kSpan = 32;
// How far from a string's first byte its loads may read.
inline constexpr size_t kReach = 64;

// Whether `p` and the kReach - 1 bytes after it share a page.
inline bool InReach(const char* p) {
  return sse2::PageOffset(p) <= sse2::kPageSize - kReach;
}

// Bit i set for each of the 32 bytes from `p` that equals the byte in every
// lane of `wanted`.
VELLUM_READS_WHOLE_BLOCKS inline uint32_t Equal32(const char* p,
                                                  __m128i wanted) {
  uint32_t low = sse2::EqualBytes(sse2::LoadUnaligned(p), wanted);
  uint32_t high = sse2::EqualBytes(sse2::LoadUnaligned(p + 16), wanted);
  return low | high << 16;
}

// Bit i set where byte i from `a` equals byte i from `b`, for 32 bytes.
VELLUM_READS_WHOLE_BLOCKS inline uint32_t Same32(const char* a, const char* b) {
  uint32_t low =
      sse2::EqualBytes(sse2::LoadUnaligned(a), sse2::LoadUnaligned(b));
  uint32_t high = sse2::EqualBytes(sse2::LoadUnaligned(a + 16),
                                   sse2::LoadUnaligned(b + 16));
  return low | high << 16;
}

inline uint32_t Zeros32(const char* p) {
  return Equal32(p, _mm_setzero_si128());
}

// The lowest `count` bits, `count` below 32.
inline uint32_t LowBits(size_t count) { return (uint32_t{1} << count) - 1; }

// The length of `text`: read inline when it is short and in reach,
// measured by the long scan otherwise.
inline size_t Measure(const char* text) {
  if (InReach(text)) {
    // A block at a time: a word or a set ends in the first.
    uint32_t zeros = sse2::ZeroBytes(sse2::LoadUnaligned(text));
    if (zeros != 0) return LowestBit(zeros);
    zeros = sse2::ZeroBytes(sse2::LoadUnaligned(text + sse2::kBlock));
    if (zeros != 0) return sse2::kBlock + LowestBit(zeros);
  }
  return StringLength(text);
}

// The bytes of a string argument up to its NUL, empty for null: what
// ArgView gives, with a short string measured inline.
inline std::string_view View(const char* text) {
  return text ? std::string_view(text, Measure(text)) : std::string_view();
}

// vellum::BoundedLength, inline where the first kSpan bytes answer; the
// byte at `text` must be readable, as it is in any string.
inline size_t BoundedLength(const char* text, size_t limit) {
  if (InReach(text)) {
    uint32_t zeros = Zeros32(text);
    if (zeros != 0) return std::min<size_t>(LowestBit(zeros), limit);
    if (limit <= kSpan) return limit;
  }
  return vellum::BoundedLength(text, limit);
}

// The first of the kSpan bytes from `from` that `stops` marks, with the
// block that marks it, or the terminator: null for the terminator, and
// `from` + kSpan when neither comes, for the long scan to go on from there.
// Each block of `stops` is zero where a byte stops the scan.
inline const char* FirstStop(const char* from, __m128i low_stops,
                             __m128i high_stops) {
  const __m128i zero = _mm_setzero_si128();
  uint32_t stops = sse2::EqualBytes(low_stops, zero) |
                   sse2::EqualBytes(high_stops, zero) << 16;
  if (stops == 0) return from + kSpan;
  const char* stop = from + LowestBit(stops);
  return *stop != '\0' ? stop : nullptr;
}

// vellum::FindByte, with the first kSpan bytes read inline. The minimum
// of a byte and its difference from `byte` is zero where it is `byte` or
// the terminator.
VELLUM_READS_WHOLE_BLOCKS inline const char* FindByte(const char* from,
                                                      char byte) {
  if (InReach(from)) {
    const __m128i wanted = sse2::Splat(byte);
    const __m128i low = sse2::LoadUnaligned(from);
    const __m128i high = sse2::LoadUnaligned(from + sse2::kBlock);
    const char* stop =
        FirstStop(from, _mm_min_epu8(_mm_xor_si128(low, wanted), low),
                  _mm_min_epu8(_mm_xor_si128(high, wanted), high));
    if (stop != from + kSpan) return stop;
    from = stop;
  }
  return vellum::FindByte(from, byte);
}

// The most members that FindAnyByte below tests inline: each costs two
// compares, where the long scan first builds a map of the set.
inline constexpr size_t kInlineMembers = 15;

// vellum::FindAnyByte, with the first kSpan bytes tested inline against a
// set of up to kInlineMembers bytes, none of them NUL. The members and the
// terminator are found in separate masks, so that the answer needs no read
// of the byte found.
VELLUM_READS_WHOLE_BLOCKS inline const char* FindAnyByte(
    const char* from, std::string_view members) {
  if (members.size() <= kInlineMembers && InReach(from)) {
    const __m128i low = sse2::LoadUnaligned(from);
    const __m128i high = sse2::LoadUnaligned(from + sse2::kBlock);
    const __m128i zero = _mm_setzero_si128();
    uint32_t ends = sse2::EqualBytes(low, zero) | sse2::EqualBytes(high, zero)
                                                      << 16;
    __m128i low_hits = zero;
    __m128i high_hits = zero;
    for (char member : members) {
      const __m128i wanted = sse2::Splat(member);
      low_hits = _mm_or_si128(low_hits, _mm_cmpeq_epi8(low, wanted));
      high_hits = _mm_or_si128(high_hits, _mm_cmpeq_epi8(high, wanted));
    }
    uint32_t hits = static_cast<uint32_t>(_mm_movemask_epi8(low_hits)) |
                    static_cast<uint32_t>(_mm_movemask_epi8(high_hits)) << 16;
    // Only the bytes up to the terminator, which is no member; all 32 when
    // none comes.
    hits &= ends ^ (ends - 1);
    if (hits != 0) return from + LowestBit(hits);
    if (ends != 0) return nullptr;
    from += kSpan;
  }
  return vellum::FindAnyByte(from, members);
}

// Whether `text` is in reach and ends within the kReach bytes from it.
inline bool EndsInReach(const char* text) {
  return InReach(text) && (Zeros32(text) | Zeros32(text + kSpan)) != 0;
}

// Copies `size` bytes from `from` to `out`, which do not overlap. Up to 32
// bytes take no call: two moves of the widest size that fits, overlapping
// in the middle, each reading and writing only bytes of the copy. A
// library call would cost more than such a copy, and the C runtime of the
// Windows build does not make its own small cases cheap.
inline void Copy(char* out, const char* from, size_t size) {
  if (size > 2 * sse2::kBlock) {
    std::memcpy(out, from, size);
  } else if (size >= sse2::kBlock) {
    __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i tail = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(from + size - sse2::kBlock));
    sse2::StoreUnaligned(out, head);
    sse2::StoreUnaligned(out + size - sse2::kBlock, tail);
  } else if (size >= 8) {
    __m128i head = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from));
    __m128i tail =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + size - 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), head);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + size - 8), tail);
  } else if (size >= 4) {
    uint32_t head;
    uint32_t tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + size - 4, 4);
    std::memcpy(out, &head, 4);
    std::memcpy(out + size - 4, &tail, 4);
  } else if (size > 0) {
    char first = from[0];
    char middle = from[size / 2];
    char last = from[size - 1];
    out[0] = first;
    out[size / 2] = middle;
    out[size - 1] = last;
  }
}

// Sets `size` bytes from `out` to `byte`, in the same moves as Copy.
inline void Fill(char* out, char byte, size_t size) {
  const __m128i bytes = sse2::Splat(byte);
  if (size > 2 * sse2::kBlock) {
    std::memset(out, byte, size);
  } else if (size >= sse2::kBlock) {
    sse2::StoreUnaligned(out, bytes);
    sse2::StoreUnaligned(out + size - sse2::kBlock, bytes);
  } else if (size >= 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + size - 8), bytes);
  } else if (size >= 4) {
    uint32_t word = static_cast<unsigned char>(byte) * 0x01010101u;
    std::memcpy(out, &word, 4);
    std::memcpy(out + size - 4, &word, 4);
  } else if (size > 0) {
    out[0] = byte;
    out[size / 2] = byte;
    out[size - 1] = byte;
  }
}

// Whether the searches below take `text` and `pattern`, once both are in
// reach: sizes below kSpan, the pattern no longer than the text and not
// empty.
inline bool IsShortSearch(std::string_view text, std::string_view pattern) {
  return text.size() < kSpan && !pattern.empty() &&
         pattern.size() <= text.size();
}

// `text`, of fewer than kSpan bytes, where it is in reach; otherwise a copy
// of it in `copy`, which holds kReach bytes, with zeros after it. Either
// way the loads above may read kReach bytes from its start.
inline std::string_view InReachOrCopied(std::string_view text, char* copy) {
  if (InReach(text.data())) return text;
  for (size_t i = 0; i < kReach; i += sse2::kBlock) {
    sse2::StoreUnaligned(copy + i, _mm_setzero_si128());
  }
  Copy(copy, text.data(), text.size());
  return {copy, text.size()};
}

// Those of the starts in `passing` from `at` where a `pattern` of four to
// kSpan - 1 bytes stands whole, one compare each. Out of line: inline, its
// blocks would outnumber the 32-bit build's eight vector registers, and a
// spilled block makes every caller realign its stack on each call, even
// for the words of three bytes or fewer that never come here.
VELLUM_NOINLINE VELLUM_READS_WHOLE_BLOCKS inline uint32_t WholeMatches(
    const char* at, uint32_t passing, std::string_view pattern) {
  uint32_t matches = 0;
  for (uint32_t left = passing; left != 0; left &= left - 1) {
    unsigned s = LowestBit(left);
    if ((~Same32(at + s, pattern.data()) & LowBits(pattern.size())) == 0) {
      matches |= uint32_t{1} << s;
    }
  }
  return matches;
}

// Bit s set for each of the first `starts` starts from `at` (at most
// kSpan) where `pattern`, of fewer than kSpan bytes and in reach, stands
// whole: the test of the first, last and second bytes over all starts at
// once, which is the whole test for up to three bytes, then for longer
// patterns one compare per start that passes. Reads up to kReach bytes
// from `at`; a start past the text's end must not be among `starts`.
// The byte tests are combined in the vector registers, each half of the
// starts taken to a bit mask once: on the 32-bit build, every mask taken
// apart costs general registers that it has too few of.
VELLUM_READS_WHOLE_BLOCKS inline uint32_t MatchStartsAt(
    const char* at, size_t starts, std::string_view pattern) {
  const size_t m = pattern.size();
  const __m128i first = sse2::Splat(pattern[0]);
  const __m128i last = sse2::Splat(pattern[m - 1]);
  __m128i low =
      _mm_and_si128(_mm_cmpeq_epi8(sse2::LoadUnaligned(at), first),
                    _mm_cmpeq_epi8(sse2::LoadUnaligned(at + m - 1), last));
  __m128i high = _mm_and_si128(
      _mm_cmpeq_epi8(sse2::LoadUnaligned(at + sse2::kBlock), first),
      _mm_cmpeq_epi8(sse2::LoadUnaligned(at + m - 1 + sse2::kBlock), last));
  if (m > 2) {
    const __m128i second = sse2::Splat(pattern[1]);
    low =
        _mm_and_si128(low, _mm_cmpeq_epi8(sse2::LoadUnaligned(at + 1), second));
    high = _mm_and_si128(
        high,
        _mm_cmpeq_epi8(sse2::LoadUnaligned(at + 1 + sse2::kBlock), second));
  }
  uint32_t passing = static_cast<uint32_t>(_mm_movemask_epi8(low)) |
                     static_cast<uint32_t>(_mm_movemask_epi8(high)) << 16;
  if (starts < kSpan) passing &= LowBits(starts);
  if (m <= 3 || passing == 0) return passing;
  return WholeMatches(at, passing, pattern);
}

// The same for every start of a short `text`, no shorter than `pattern`.
inline uint32_t MatchStarts(std::string_view text, std::string_view pattern) {
  return MatchStartsAt(text.data(), text.size() - pattern.size() + 1, pattern);
}

// The number of matches among `matches`, the starts where a pattern of
// `pattern_size` bytes stands, that a left-to-right walk takes: each one
// that does not overlap the last one taken.
inline size_t WalkedCount(uint32_t matches, size_t pattern_size) {
  if (pattern_size <= 3) {
    uint32_t near = matches << 1;
    if (pattern_size == 3) near |= matches << 2;
    if ((near & matches) == 0 || pattern_size == 1) return CountBits(matches);
  }
  size_t count = 0;
  size_t resume = 0;
  for (; matches != 0; matches &= matches - 1) {
    unsigned start = LowestBit(matches);
    if (start < resume) continue;
    ++count;
    resume = start + pattern_size;
  }
  return count;
}

// The length of `text` when it is below kBlock, kBlock otherwise: read
// from the aligned block that holds its first byte, and from the next one
// only when no terminator comes first. An aligned block never crosses a
// page, and each one read holds a byte of the string, so this needs no
// page test: a search string, most often a word, is measured wherever it
// lies.
VELLUM_READS_WHOLE_BLOCKS inline size_t WordLength(const char* text) {
  const size_t offset = sse2::Address(text) & (sse2::kBlock - 1);
  const char* block = text - offset;
  uint32_t zeros = sse2::ZeroBytes(sse2::LoadAligned(block)) >> offset;
  if (zeros != 0) return LowestBit(zeros);
  // Byte i of the next block is byte kBlock - offset + i of `text`.
  zeros = sse2::ZeroBytes(sse2::LoadAligned(block + sse2::kBlock)) &
          LowBits(offset);
  return zeros != 0 ? sse2::kBlock - offset + LowestBit(zeros) : sse2::kBlock;
}

// The bytes of a set or search string: measured by WordLength, which needs
// no page test, when it has fewer than kBlock bytes; by View otherwise.
inline std::string_view WordView(const char* text) {
  size_t size = WordLength(text);
  return size < sse2::kBlock ? std::string_view(text, size) : View(text);
}

// What the short path of the searches finds: MatchStarts' bits, and the
// lengths of the two arguments.
struct ShortSearch {
  uint32_t matches;
  size_t text_size;
  size_t pattern_size;
};

// The searches' short path over NUL-terminated arguments, measuring both in
// the loads that the search itself makes: when `text` is short and in reach
// and `pattern` has up to 15 bytes (and is in reach too when it has more
// than three, the most the byte tests take singly), fills `*found`
// (no matches for an empty pattern or one longer than the text) and
// returns true; otherwise returns false and the long way must answer.
inline bool FindMatches(const char* text, const char* pattern,
                        ShortSearch* found) {
  if (!InReach(text)) return false;
  uint32_t text_end = Zeros32(text);
  if (text_end == 0) return false;
  size_t n = LowestBit(text_end);
  size_t m = WordLength(pattern);
  // Only a search string of four bytes or more is loaded whole.
  if (m >= sse2::kBlock || (m > 3 && !InReach(pattern))) return false;
  found->text_size = n;
  found->pattern_size = m;
  found->matches = m == 0 || m > n ? 0 : MatchStarts({text, n}, {pattern, m});
  return true;
}

}  // namespace vellum::short_text
