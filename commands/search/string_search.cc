#include "commands/search/string_search.h"

#include <cstring>

#include "commands/search/sse2_blocks.h"
#include "commands/search/two_way.h"

namespace vellum {
namespace {

using sse2::kBlock;

// Two-way reports "none" with the same value, so its answers pass through.
static_assert(two_way::kNone == kNotFound);

// Length of the common prefix of a and b, both at least `size` bytes.
size_t CommonPrefix(const char* a, const char* b, size_t size) {
  size_t i = 0;
  for (; i + kBlock <= size; i += kBlock) {
    unsigned differ = ~sse2::EqualBytes(sse2::LoadUnaligned(a + i),
                                        sse2::LoadUnaligned(b + i)) &
                      0xFFFF;
    if (differ != 0) return i + sse2::LowestBit(differ);
  }
  while (i < size && a[i] == b[i]) ++i;
  return i;
}

// Offset of the last `byte` in `text`, sixteen bytes at a time from the end.
size_t FindLastByte(std::string_view text, char byte) {
  const __m128i wanted = sse2::Splat(byte);
  size_t end = text.size();
  for (; end >= kBlock; end -= kBlock) {
    unsigned hits = sse2::EqualBytes(
        sse2::LoadUnaligned(text.data() + end - kBlock), wanted);
    if (hits != 0) return end - kBlock + sse2::HighestBit(hits);
  }
  while (end-- > 0) {
    if (text[end] == byte) return end;
  }
  return kNotFound;
}

// The first-and-last-byte filter: for sixteen candidate starts at once, one
// compare of the pattern's first byte and one of its last byte, both
// unaligned loads inside the text; only starts that pass both are compared
// in full. On ordinary text few starts pass. On repetitive text many do,
// and the filter alone could take time proportional to text × pattern, so
// the work spent on full compares is counted and, once it exceeds the
// ground covered, the rest of the search goes to two-way.
class Candidates {
 public:
  Candidates(std::string_view text, std::string_view pattern)
      : text_(text.data()),
        pattern_(pattern.data()),
        size_(pattern.size()),
        first_(sse2::Splat(pattern.front())),
        last_(sse2::Splat(pattern.back())) {}

  // Bit i set when start `at + i` passes the filter; the caller keeps
  // at + 15 + size - 1 inside the text.
  unsigned Block(size_t at) const {
    return static_cast<unsigned>(_mm_movemask_epi8(Passing(at)));
  }

  // Whether any of the 64 starts from `at` on passes, tested with one mask:
  // on ordinary text most rounds end here. The caller keeps
  // at + 63 + size - 1 inside the text.
  bool AnyOf64(size_t at) const {
    __m128i any = _mm_or_si128(
        _mm_or_si128(Passing(at), Passing(at + kBlock)),
        _mm_or_si128(Passing(at + 2 * kBlock), Passing(at + 3 * kBlock)));
    return _mm_movemask_epi8(any) != 0;
  }

  // The same test for one start, for the last few.
  bool Passes(size_t at) const {
    return text_[at] == pattern_[0] &&
           text_[at + size_ - 1] == pattern_[size_ - 1];
  }

  // Whether the pattern occurs at `at`, whose ends already match; adds the
  // bytes compared to the work done.
  bool Matches(size_t at) {
    size_t middle = size_ - 2;
    size_t same = CommonPrefix(text_ + at + 1, pattern_ + 1, middle);
    work_ += same + 1;
    return same == middle;
  }

  // Whether full compares have cost more than the distance scanned allows.
  bool OverBudget(size_t scanned) const {
    return work_ > scanned + 2 * size_ + 64;
  }

 private:
  // 0xFF in byte i when start `at + i` passes.
  __m128i Passing(size_t at) const {
    return _mm_and_si128(
        _mm_cmpeq_epi8(sse2::LoadUnaligned(text_ + at), first_),
        _mm_cmpeq_epi8(sse2::LoadUnaligned(text_ + at + size_ - 1), last_));
  }

  const char* text_;
  const char* pattern_;
  size_t size_;
  __m128i first_;
  __m128i last_;
  size_t work_ = 0;  // bytes compared by Matches
};

size_t FindWithFilter(std::string_view text, std::string_view pattern,
                      size_t from) {
  const size_t last = text.size() - pattern.size();
  Candidates candidates(text, pattern);
  size_t at = from;
  for (; at <= last && last - at >= kBlock - 1; at += kBlock) {
    if (last - at >= 4 * kBlock - 1 && !candidates.AnyOf64(at)) {
      at += 3 * kBlock;  // and the loop's own step: 64 starts in all
      continue;
    }
    for (unsigned hits = candidates.Block(at); hits != 0; hits &= hits - 1) {
      size_t start = at + sse2::LowestBit(hits);
      if (candidates.Matches(start)) return start;
      if (candidates.OverBudget(start - from)) {
        return TwoWayFind(ForwardBytes{text.data(), text.size()},
                          ForwardBytes{pattern.data(), pattern.size()},
                          start + 1);
      }
    }
  }
  for (; at <= last; ++at) {  // fewer than sixteen starts left
    if (candidates.Passes(at) && candidates.Matches(at)) return at;
  }
  return kNotFound;
}

// The same filter moving from the end of the text towards its start.
size_t FindLastWithFilter(std::string_view text, std::string_view pattern) {
  const size_t m = pattern.size();
  Candidates candidates(text, pattern);
  size_t end = text.size() - m + 1;  // starts below `end` are left to try
  for (; end >= kBlock; end -= kBlock) {
    if (end >= 4 * kBlock && !candidates.AnyOf64(end - 4 * kBlock)) {
      end -= 3 * kBlock;  // and the loop's own step: 64 starts in all
      continue;
    }
    size_t at = end - kBlock;
    for (unsigned hits = candidates.Block(at); hits != 0;
         hits &= ~(1u << sse2::HighestBit(hits))) {
      size_t start = at + sse2::HighestBit(hits);
      if (candidates.Matches(start)) return start;
      if (candidates.OverBudget(text.size() - start)) {
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
    if (candidates.Passes(end) && candidates.Matches(end)) return end;
  }
  return kNotFound;
}

}  // namespace

size_t FindString(std::string_view text, std::string_view pattern,
                  size_t from) {
  if (pattern.empty()) return from <= text.size() ? from : kNotFound;
  if (from > text.size() || pattern.size() > text.size() - from) {
    return kNotFound;
  }
  if (pattern.size() == 1) {
    const void* hit =
        std::memchr(text.data() + from, pattern[0], text.size() - from);
    return hit ? static_cast<const char*>(hit) - text.data() : kNotFound;
  }
  return FindWithFilter(text, pattern, from);
}

size_t FindLastString(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return kNotFound;
  if (pattern.size() == 1) return FindLastByte(text, pattern[0]);
  return FindLastWithFilter(text, pattern);
}

size_t CountStrings(std::string_view text, std::string_view pattern) {
  if (text.empty() || pattern.empty()) return 0;
  size_t count = 0;
  for (size_t at = FindString(text, pattern); at != kNotFound;
       at = FindString(text, pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

}  // namespace vellum
