// The start filter applied to a vector of starts at a time, and the loops
// that collect and count the passing starts, written once for a vector type
// `V` (Sse2Vector, Avx2Vector): candidate_starts.cc instantiates them for
// SSE2, as string_search.cc does for its backward search, and
// candidate_starts_avx2.cc, inside its target region, for AVX2. Templates
// only, as scan/target_region.h asks of a header included inside a region.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/search/bit_offsets.h"
#include "scan/search/candidate_starts.h"
#include "scan/search/start_filter.h"

namespace vellum {
// Internal to each file that includes it, as scan/target_region.h asks.
namespace {

// A block of starts is tested first on the ends alone, which settles most
// blocks of ordinary text; only a block with starts left pays for the middle
// test, where the filter has one. Loads are unaligned, inside the text.
template <class V>
class StartFilterBlocks {
 public:
  using Block = typename V::Block;

  explicit StartFilterBlocks(const StartFilter& filter)
      : text_(filter.text),
        inner_(filter.inner),
        span_(filter.span),
        middle_(filter.inner != 0),
        first_(V::Splat(filter.first)),
        second_(V::Splat(filter.second)),
        last_(V::Splat(filter.last)) {}

  // All ones in byte i when start `at + i` holds the pattern's first and
  // last bytes; the caller keeps at + V::kSize - 1 + span inside the text.
  Block Ends(size_t at) const {
    const char* p = text_ + at;
    return V::And(V::Equal(V::LoadUnaligned(p), first_),
                  V::Equal(V::LoadUnaligned(p + span_), last_));
  }

  // All ones in byte i when start `at + i` holds the byte at `inner`.
  Block Middle(size_t at) const {
    return V::Equal(V::LoadUnaligned(text_ + at + inner_), second_);
  }

  // All ones in byte i when start `at + i` passes.
  Block Passing(size_t at) const { return V::And(Ends(at), Middle(at)); }

  // The number of passing starts in the kStartBlock from `at`, in 64-bit
  // lanes: each passing start is -1 in one byte lane, the vectors of the
  // block are summed, and the sums are added across lanes as unsigned bytes.
  Block CountBlock(size_t at) const {
    Block lanes = V::Zero();
    if (middle_) {
      for (size_t i = 0; i < kVectors; ++i) {
        lanes = V::SubtractBytes(lanes, Passing(at + i * V::kSize));
      }
    } else {
      for (size_t i = 0; i < kVectors; ++i) {
        lanes = V::SubtractBytes(lanes, Ends(at + i * V::kSize));
      }
    }
    return V::SumBytes(lanes);
  }

  // The passing starts of the kStartBlock from `at` into `out`, with their
  // count. One test over the whole block settles most blocks of ordinary
  // text; the caller keeps the block's last start inside the text.
  size_t CollectBlock(size_t at, size_t* out) const {
    Block p[kVectors];
    Block any = V::Zero();
    for (size_t i = 0; i < kVectors; ++i) {
      p[i] = Ends(at + i * V::kSize);
      any = V::Or(any, p[i]);
    }
    if (!V::AnyMatch(any)) return 0;
    if (middle_) {
      for (size_t i = 0; i < kVectors; ++i) {
        p[i] = V::And(p[i], Middle(at + i * V::kSize));
      }
    }
    uint64_t low = Bits<kVectors / 2>(p);
    uint64_t high = Bits<kVectors / 2>(p + kVectors / 2);
    return StoreBitOffsets(low, high, V::CountBits(low) + V::CountBits(high),
                           at, out);
  }

 private:
  static constexpr size_t kVectors = kStartBlock / V::kSize;

  // The starts of the `kCount` vectors from `p` as bits, the first lowest.
  // Halves rather than a loop, whose shifts the 32-bit build would make
  // by a variable amount.
  template <size_t kCount>
  static uint64_t Bits(const Block* p) {
    if constexpr (kCount == 1) {
      return V::MatchBits(p[0]);
    } else {
      constexpr size_t kHalf = kCount / 2;
      return Bits<kHalf>(p) | Bits<kHalf>(p + kHalf) << (kHalf * V::kSize);
    }
  }

  const char* text_;
  size_t inner_;
  size_t span_;
  bool middle_;
  Block first_;
  Block second_;
  Block last_;
};

// CountCandidates and CollectCandidates (candidate_starts.h) for one vector
// type: whole blocks of starts by vectors, the rest one at a time.
template <class V>
size_t CountCandidatesWith(const StartFilter& filter, size_t from) {
  const StartFilterBlocks<V> blocks(filter);
  typename V::Block sums = V::Zero();
  size_t at = from;
  for (; at + kStartBlock - 1 <= filter.last_start; at += kStartBlock) {
    sums = V::AddLanes(sums, blocks.CountBlock(at));
  }
  return static_cast<size_t>(V::SumLanes(sums)) +
         CountFewCandidates(filter, at);
}

template <class V>
size_t CollectCandidatesWith(const StartFilter& filter, size_t* scan,
                             size_t enough, size_t* out) {
  const StartFilterBlocks<V> blocks(filter);
  size_t at = *scan;
  size_t count = 0;
  for (; count < enough && at + kStartBlock - 1 <= filter.last_start;
       at += kStartBlock) {
    count += blocks.CollectBlock(at, out + count);
  }
  if (count < enough && at <= filter.last_start) {
    count += CollectFewCandidates(filter, at, out + count);
    at = filter.last_start + 1;
  }
  *scan = at;
  return count;
}

}  // namespace
}  // namespace vellum
