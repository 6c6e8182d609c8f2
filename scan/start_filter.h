// The start filter of the substring searches: a start passes when the text
// holds the pattern's first byte there and its last byte where the pattern
// would end, and for a pattern of three bytes its middle byte between. On
// ordinary text few starts pass, and only those are compared in full; a
// pattern of up to three bytes the filter compares in full itself. The
// forward walk, the backward search and the counting all test starts here.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>

#include "scan/sse2_blocks.h"

namespace vellum {

// Start s passes when text[s], text[s + inner] and text[s + span] are the
// pattern's bytes at 0, `inner` and `span`. `inner` is 1 for a pattern of
// three bytes, whose filter is then exact, and 0 otherwise, where the
// middle test repeats the first: a third compare would cost every search
// more than the few passes it saves on longer patterns.
struct StartFilter {
  const char* text;
  size_t last_start;  // text size minus pattern size
  size_t inner;
  size_t span;  // pattern size minus one
  char first;
  char second;
  char last;

  // The filter of a non-empty `pattern` no longer than `text`.
  static StartFilter For(const char* text, size_t text_size,
                         const char* pattern, size_t size) {
    size_t inner = size == 3 ? 1 : 0;
    return {text,           text_size - size, inner, size - 1, pattern[0],
            pattern[inner], pattern[size - 1]};
  }

  // The test for one start, for the few that a block would overrun.
  bool Passes(size_t at) const {
    return text[at] == first && text[at + inner] == second &&
           text[at + span] == last;
  }
};

// The filter sixteen starts at a time: unaligned loads inside the text.
class StartFilter16 {
 public:
  explicit StartFilter16(const StartFilter& filter)
      : text_(filter.text),
        inner_(filter.inner),
        span_(filter.span),
        first_(sse2::Splat(filter.first)),
        second_(sse2::Splat(filter.second)),
        last_(sse2::Splat(filter.last)) {}

  // 0xFF in byte i when start `at + i` holds the pattern's first and last
  // bytes; the caller keeps at + 15 + span inside the text.
  __m128i Ends(size_t at) const {
    const char* p = text_ + at;
    return _mm_and_si128(_mm_cmpeq_epi8(sse2::LoadUnaligned(p), first_),
                         _mm_cmpeq_epi8(sse2::LoadUnaligned(p + span_), last_));
  }

  // 0xFF in byte i when start `at + i` holds the byte at `inner`.
  __m128i Middle(size_t at) const {
    return _mm_cmpeq_epi8(sse2::LoadUnaligned(text_ + at + inner_), second_);
  }

  // 0xFF in byte i when start `at + i` passes.
  __m128i Passing(size_t at) const {
    return _mm_and_si128(Ends(at), Middle(at));
  }

 private:
  const char* text_;
  size_t inner_;
  size_t span_;
  __m128i first_;
  __m128i second_;
  __m128i last_;
};

}  // namespace vellum
