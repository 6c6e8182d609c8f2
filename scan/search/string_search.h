// Substring search and counting over measured strings. Offsets are 0-based;
// kNotFound means no match. Matching is byte-exact. Every routine here takes
// time linear in the text plus the pattern, whatever their contents.
//
// The pieces of scan/search/, in the order a search uses them:
//   string_search.{h,cc}    this interface: a pattern of one byte goes to
//                           the byte scans, a longer one to the filter below;
//   start_filter.h          the cheap test of one start: the pattern's first,
//                           middle and last bytes where they would stand;
//   start_filter_walk.h     that test a vector of starts at a time, for any
//                           vector width, and the loops over blocks of starts;
//   candidate_starts.*      the starts that pass the filter, collected or
//                           counted 128 at a time (SSE2 and AVX2 versions);
//   bit_offsets.h           a block's mask of passing starts as offsets;
//   two_way.h               the fallback when too many candidates fail their
//                           full compare, so that no text costs more than
//                           linear time;
//   short_matches.*         patterns of two or three bytes that cannot
//                           overlap themselves, matched and counted in the
//                           pass that measures a NUL-terminated text;
//   short_match_walk.h      that pass over 64-byte chunks, for any width.
#pragma once

#include <cstddef>
#include <string_view>

#include "scan/search/candidate_starts.h"

namespace vellum {

inline constexpr size_t kNotFound = std::string_view::npos;

// Offset of the leftmost occurrence of a non-empty `pattern` in `text` at or
// after `from`, or kNotFound. An empty pattern is found at `from` when
// `from` is within the text, as std::string_view::find does.
size_t FindString(std::string_view text, std::string_view pattern,
                  size_t from = 0);

// Offset of the rightmost occurrence of a non-empty `pattern` in `text`,
// overlapping occurrences included (the last 'aa' of 'aaa' is at 1), or
// kNotFound; kNotFound too for an empty pattern.
size_t FindLastString(std::string_view text, std::string_view pattern);

// The occurrences of `pattern` in `text` from `from` on, leftmost first and
// non-overlapping, each search resuming just after the previous match: in
// 'aaaaa' the matches of 'aa' are at 0 and 2. None for an empty pattern.
//
// The walk keeps the search's state between matches instead of starting a
// new search after each one, so that crowded matches cost no set-up each.
// Walking the same text and pattern twice yields the same matches.
class MatchWalker {
 public:
  MatchWalker(std::string_view text, std::string_view pattern, size_t from = 0);

  // Stores the offsets of the next matches, at most `capacity` of them, in
  // `out` and returns how many it stored; fewer than `capacity` only when
  // no match is left. Reads at most a block of starts past what the search
  // for the last match it returns needs.
  size_t Next(size_t* out, size_t capacity);

  // The number of matches not yet returned; none is left afterwards.
  size_t CountRest();

 private:
  bool EveryPassMatches() const;

  // Next's work once the filter has handed over to two-way.
  size_t NextByTwoWay(size_t* out, size_t capacity);

  // Passing starts collected per refill, at least.
  static constexpr size_t kEnough = 64;

  const char* text_;
  size_t text_size_;
  const char* pattern_;
  size_t pattern_size_;
  size_t origin_;         // where the walk began
  size_t resume_;         // starts below this are done with
  size_t scan_;           // starts below this have been collected
  size_t work_ = 0;       // bytes compared in full so far
  bool two_way_ = false;  // the filter has handed over
  size_t head_ = 0;       // starts_[head_, collected_) wait to be compared
  size_t collected_ = 0;
  size_t starts_[kEnough + kCollectSlack];
};

// Number of the matches of the walk above: 0 for an empty text or pattern.
size_t CountStrings(std::string_view text, std::string_view pattern);

}  // namespace vellum
