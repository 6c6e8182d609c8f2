#include "scan/search/string_search.h"

#include <algorithm>

#include "scan/bounded_scans.h"
#include "scan/byte_scan.h"
#include "scan/search/candidate_starts.h"
#include "scan/search/start_filter.h"
#include "scan/search/start_filter_walk.h"
#include "scan/search/two_way.h"
#include "scan/short_text.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::kBlock;

// Two-way reports "none" with the same value, so its answers pass through.
static_assert(two_way::kNone == kNotFound);

// The starts that pass the filter (start_filter.h) and their full
// compares. The forward walk collects its passing starts a block at a
// time (passing_starts.cc) and compares them here; the backward search
// tests them here itself, on the first and last bytes only. On ordinary
// text few starts pass. On repetitive text many do, and the filter alone
// could take time proportional to text × pattern, so the work spent on full
// compares is counted and, once it exceeds the ground covered (see
// OverBudget), the rest of the search goes to two-way. A start that passes and
// then fails is charged more than the bytes it compared: a search string whose
// first and last bytes stand at every start while its second byte stands at
// none compares one byte per start, yet each such start costs a round of the
// loop where the filter alone covers sixteen starts at once.
class Candidates {
 public:
  // What a pass that ends in a mismatch adds to the work, on top of its
  // bytes: about the time of a filter round over that many starts.
  static constexpr size_t kMissCharge = 32;

  Candidates(const StartFilter& filter, const char* pattern)
      : ends_(filter),
        blocks_(filter),
        pattern_(pattern),
        middle_(filter.span < 1 ? 0 : filter.span - 1) {}

  // Bit i set when start `at + i` holds the pattern's first and last
  // bytes; the caller keeps at + 15 + size - 1 inside the text.
  unsigned Block(size_t at) const {
    return static_cast<unsigned>(_mm_movemask_epi8(blocks_.Ends(at)));
  }

  // Whether any of the 64 starts from `at` on passes, tested with one mask:
  // on ordinary text most rounds end here. The caller keeps
  // at + 63 + size - 1 inside the text.
  bool AnyOf64(size_t at) const {
    __m128i any =
        _mm_or_si128(_mm_or_si128(blocks_.Ends(at), blocks_.Ends(at + kBlock)),
                     _mm_or_si128(blocks_.Ends(at + 2 * kBlock),
                                  blocks_.Ends(at + 3 * kBlock)));
    return _mm_movemask_epi8(any) != 0;
  }

  // The same test for one start, for the last few.
  bool Passes(size_t at) const { return ends_.Passes(at); }

  // Whether the pattern occurs at `at`, whose ends already match; adds the
  // bytes compared to `*work`, and a pass that failed its keep.
  bool Matches(size_t at, size_t* work) const {
    size_t same = CommonPrefix(ends_.text + at + 1, pattern_ + 1, middle_);
    bool found = same == middle_;
    *work += same + 1 + (found ? 0 : kMissCharge);
    return found;
  }

 private:
  StartFilter ends_;
  StartFilterBlocks<Sse2Vector> blocks_;
  const char* pattern_;
  size_t middle_;  // bytes between the first and the last
};

// Whether `work` bytes of full compares are more than `scanned` starts allow
// for a pattern of `size` bytes: past that point the filter is not paying
// for itself and two-way, linear whatever the input, takes over.
bool OverBudget(size_t work, size_t scanned, size_t size) {
  return work > scanned + 2 * size + 64;
}

// The same filter moving from the end of the text towards its start.
size_t FindLastWithFilter(std::string_view text, std::string_view pattern) {
  const size_t m = pattern.size();
  const Candidates candidates(
      StartFilter::For(text.data(), text.size(), pattern.data(), m),
      pattern.data());
  size_t work = 0;
  size_t end = text.size() - m + 1;  // starts below `end` are left to try
  for (; end >= kBlock; end -= kBlock) {
    if (end >= 4 * kBlock && !candidates.AnyOf64(end - 4 * kBlock)) {
      end -= 3 * kBlock;  // and the loop's own step: 64 starts in all
      continue;
    }
    size_t at = end - kBlock;
    for (unsigned hits = candidates.Block(at); hits != 0;
         hits &= ~(1u << HighestBit(hits))) {
      size_t start = at + HighestBit(hits);
      if (candidates.Matches(start, &work)) return start;
      if (OverBudget(work, text.size() - start, m)) {
        // Leftmost in the reversed text is rightmost here; starts from
        // `start` on are done, so the reversed search skips them.
        size_t found = TwoWayFind(ReversedBytes{text.data(), text.size()},
                                  ReversedBytes{pattern.data(), m},
                                  text.size() - m - start + 1);
        return found == two_way::kNone ? kNotFound : text.size() - m - found;
      }
    }
  }
  while (end-- > 0) {  // fewer than sixteen starts left
    if (candidates.Passes(end) && candidates.Matches(end, &work)) return end;
  }
  return kNotFound;
}

// MatchStarts for a text and pattern that IsShortSearch takes, wherever
// they lie: one near the end of its page is read from a padded copy.
uint32_t MatchesInShort(std::string_view text, std::string_view pattern) {
  char text_copy[short_text::kReach];
  char pattern_copy[short_text::kReach];
  return short_text::MatchStarts(
      short_text::InReachOrCopied(text, text_copy),
      short_text::InReachOrCopied(pattern, pattern_copy));
}

}  // namespace

MatchWalker::MatchWalker(std::string_view text, std::string_view pattern,
                         size_t from)
    : text_(text.data()),
      text_size_(text.size()),
      pattern_(pattern.data()),
      pattern_size_(pattern.size()),
      origin_(from),
      resume_(pattern.empty() ? kNotFound : from),
      scan_(from) {}

// Passing starts are collected a block at a time, many matches' worth
// ahead, and then compared in order, skipping those that overlap the last
// match: matches a few bytes apart cost a compare each, not a new search,
// and the loop over collected starts runs long enough to be predicted.
size_t MatchWalker::Next(size_t* out, size_t capacity) {
  const size_t m = pattern_size_;
  if (m > text_size_ || resume_ > text_size_ - m) return 0;
  if (two_way_) return NextByTwoWay(out, capacity);
  const auto filter = StartFilter::For(text_, text_size_, pattern_, m);
  const Candidates candidates(filter, pattern_);
  const bool every_pass_matches = EveryPassMatches();
  // Locals, not members, in the loop: stores through `out` could alias
  // the members and would force them back to memory at every match.
  size_t resume = resume_;
  size_t work = work_;
  size_t head = head_;
  size_t collected = collected_;
  size_t found = 0;
  while (found < capacity) {
    if (head == collected) {
      // Collecting only as far as the matches asked for need keeps a
      // search for one match from reading the whole text.
      scan_ = std::max(scan_, resume);
      head = 0;
      collected = CollectCandidates(
          filter, &scan_, std::min(capacity - found, kEnough), starts_);
      if (collected == 0) break;
    }
    if (every_pass_matches) {
      size_t taken = std::min(collected - head, capacity - found);
      std::copy(starts_ + head, starts_ + head + taken, out + found);
      head += taken;
      found += taken;
      resume = out[found - 1] + m;
      continue;
    }
    size_t start = starts_[head++];
    if (start < resume) continue;  // overlaps the last match
    if (candidates.Matches(start, &work)) {
      out[found++] = start;
      resume = start + m;
    } else if (OverBudget(work, start - origin_, m)) {
      two_way_ = true;
      resume = start + 1;
      head = collected;
      break;
    }
  }
  resume_ = resume;
  work_ = work;
  head_ = head;
  collected_ = collected;
  return two_way_ ? found + NextByTwoWay(out + found, capacity - found) : found;
}

// The filter compares a pattern of up to three bytes in full. When such a
// pattern does not begin with its last byte, no proper prefix of it is
// also a suffix, so no two of its matches overlap: every start that passes
// is a match of the walk, and nothing is left to compare.
bool MatchWalker::EveryPassMatches() const {
  const size_t m = pattern_size_;
  return m == 1 || ((m == 2 || m == 3) && pattern_[0] != pattern_[m - 1]);
}

// Where every pass matches, the passes are counted in place and never
// listed.
size_t MatchWalker::CountRest() {
  const size_t m = pattern_size_;
  if (EveryPassMatches() && head_ == collected_ && !two_way_ &&
      m <= text_size_ && resume_ <= text_size_ - m) {
    const auto filter = StartFilter::For(text_, text_size_, pattern_, m);
    size_t from = std::max(scan_, resume_);
    resume_ = kNotFound;
    return CountCandidates(filter, from);
  }
  size_t count = 0;
  size_t batch[64];
  for (size_t found; (found = Next(batch, 64)) != 0;) count += found;
  return count;
}

size_t MatchWalker::NextByTwoWay(size_t* out, size_t capacity) {
  size_t found = 0;
  while (found < capacity) {
    size_t at = TwoWayFind(ForwardBytes{text_, text_size_},
                           ForwardBytes{pattern_, pattern_size_}, resume_);
    if (at == kNotFound) {
      resume_ = kNotFound;  // so that a further call returns at once
      break;
    }
    out[found++] = at;
    resume_ = at + pattern_size_;
  }
  return found;
}

size_t FindString(std::string_view text, std::string_view pattern,
                  size_t from) {
  if (pattern.empty()) return from <= text.size() ? from : kNotFound;
  if (from > text.size() || pattern.size() > text.size() - from) {
    return kNotFound;
  }
  std::string_view rest = text.substr(from);
  if (short_text::IsShortSearch(rest, pattern)) {
    uint32_t matches = MatchesInShort(rest, pattern);
    return matches != 0 ? from + LowestBit(matches) : kNotFound;
  }
  if (pattern.size() == 1) {
    const char* hit =
        FindByteWithin(text.data() + from, text.size() - from, pattern[0]);
    return hit ? static_cast<size_t>(hit - text.data()) : kNotFound;
  }
  size_t at;
  return MatchWalker(text, pattern, from).Next(&at, 1) == 1 ? at : kNotFound;
}

size_t FindLastString(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return kNotFound;
  if (short_text::IsShortSearch(text, pattern)) {
    uint32_t matches = MatchesInShort(text, pattern);
    return matches != 0 ? HighestBit(matches) : kNotFound;
  }
  if (pattern.size() == 1) return FindLastByteInline(text, pattern[0]);
  return FindLastWithFilter(text, pattern);
}

size_t CountStrings(std::string_view text, std::string_view pattern) {
  if (short_text::IsShortSearch(text, pattern)) {
    return short_text::WalkedCount(MatchesInShort(text, pattern),
                                   pattern.size());
  }
  // Every occurrence of a single byte is a match: counted in one pass.
  if (pattern.size() == 1 && !text.empty()) {
    const auto filter =
        StartFilter::For(text.data(), text.size(), pattern.data(), 1);
    return CountCandidates(filter, 0);
  }
  return MatchWalker(text, pattern).CountRest();
}

}  // namespace vellum
