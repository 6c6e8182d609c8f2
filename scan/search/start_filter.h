// The start filter of the substring searches: a start passes when the text
// holds the pattern's first byte there and its last byte where the pattern
// would end, and for a pattern of three bytes its middle byte between. On
// ordinary text few starts pass, and only those are compared in full; a
// pattern of up to three bytes the filter compares in full itself. The
// forward walk, the backward search and the counting all test starts here;
// scan/search/start_filter_walk.h tests a vector of starts at a time.
#pragma once

#include <cstddef>

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

}  // namespace vellum
