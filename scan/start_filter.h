// The first-and-last-byte filter of the substring searches: a start passes
// when the text holds the pattern's first byte there and its last byte
// where the pattern would end. On ordinary text few starts pass, and only
// those are compared in full. The forward walk, the backward search and
// the counting all test starts here.
#pragma once

#include <emmintrin.h>

#include <cstddef>

#include "scan/sse2_blocks.h"

namespace vellum {

// Start s passes when text[s] is the pattern's first byte and
// text[s + span] its last byte.
struct StartFilter {
  const char* text;
  size_t last_start;  // text size minus pattern size
  size_t span;        // pattern size minus one
  char first;
  char last;

  // The test for one start, for the few that a block would overrun.
  bool Passes(size_t at) const {
    return text[at] == first && text[at + span] == last;
  }
};

// The filter sixteen starts at a time: one compare of the first byte and
// one of the last, both unaligned loads inside the text.
class StartFilter16 {
 public:
  explicit StartFilter16(const StartFilter& filter)
      : text_(filter.text),
        span_(filter.span),
        first_(sse2::Splat(filter.first)),
        last_(sse2::Splat(filter.last)) {}

  // 0xFF in byte i when start `at + i` passes; the caller keeps
  // at + 15 + span inside the text.
  __m128i Passing(size_t at) const {
    return _mm_and_si128(
        _mm_cmpeq_epi8(sse2::LoadUnaligned(text_ + at), first_),
        _mm_cmpeq_epi8(sse2::LoadUnaligned(text_ + at + span_), last_));
  }

 private:
  const char* text_;
  size_t span_;
  __m128i first_;
  __m128i last_;
};

}  // namespace vellum
