#include "scan/passing_starts.h"

#include <cstdint>

#include "scan/cpu_features.h"
#include "scan/spread_bits.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::kBlock;

// A block is tested first on the ends alone, which settles most blocks of
// ordinary text; only a block with starts left pays for the middle test,
// where the filter has one.
class Sse2Filter {
 public:
  explicit Sse2Filter(const StartFilter& filter)
      : filter_(filter), middle_(filter.inner != 0) {}

  // The number of passing starts in the block from `at`: each passing
  // start is -1 in one byte lane, eight blocks of lanes are summed, and
  // the sums are added across lanes as unsigned bytes.
  __m128i CountBlock(size_t at) const {
    __m128i lanes = _mm_setzero_si128();
    if (middle_) {
      for (size_t i = 0; i < 8; ++i) {
        lanes = _mm_sub_epi8(lanes, filter_.Passing(at + i * kBlock));
      }
    } else {
      for (size_t i = 0; i < 8; ++i) {
        lanes = _mm_sub_epi8(lanes, filter_.Ends(at + i * kBlock));
      }
    }
    return _mm_sad_epu8(lanes, _mm_setzero_si128());
  }

  // The passing starts of the block from `at` into `out`, with their
  // count. One mask over the whole block settles most blocks of ordinary
  // text; the caller keeps the block's last start inside the text.
  size_t Block(size_t at, size_t* out) const {
    __m128i p[8];
    __m128i any = _mm_setzero_si128();
    for (size_t i = 0; i < 8; ++i) {
      p[i] = filter_.Ends(at + i * kBlock);
      any = _mm_or_si128(any, p[i]);
    }
    if (_mm_movemask_epi8(any) == 0) return 0;
    if (middle_) {
      for (size_t i = 0; i < 8; ++i) {
        p[i] = _mm_and_si128(p[i], filter_.Middle(at + i * kBlock));
      }
    }
    uint64_t low = Bits(p[0], p[1], p[2], p[3]);
    uint64_t high = Bits(p[4], p[5], p[6], p[7]);
    return Spread(low, high, CountBits64(low) + CountBits64(high), at, out);
  }

 private:
  static uint64_t Bits(__m128i p0, __m128i p1, __m128i p2, __m128i p3) {
    auto mask = [](__m128i p) {
      return uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(p))};
    };
    return mask(p0) | mask(p1) << 16 | mask(p2) << 32 | mask(p3) << 48;
  }

  StartFilter16 filter_;
  bool middle_;
};

}  // namespace

size_t CollectFewPassing(const StartFilter& filter, size_t from, size_t* out) {
  size_t count = 0;
  for (size_t at = from; at <= filter.last_start; ++at) {
    if (filter.Passes(at)) out[count++] = at;
  }
  return count;
}

size_t CountFewPassing(const StartFilter& filter, size_t from) {
  size_t count = 0;
  for (size_t at = from; at <= filter.last_start; ++at) {
    count += filter.Passes(at);
  }
  return count;
}

size_t CountPassingSse2(const StartFilter& filter, size_t from) {
  const Sse2Filter blocks(filter);
  __m128i sums = _mm_setzero_si128();  // two 64-bit counts
  size_t at = from;
  for (; at + kStartBlock - 1 <= filter.last_start; at += kStartBlock) {
    sums = _mm_add_epi64(sums, blocks.CountBlock(at));
  }
  alignas(16) uint64_t halves[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(halves), sums);
  return static_cast<size_t>(halves[0] + halves[1]) +
         CountFewPassing(filter, at);
}

size_t CollectPassingSse2(const StartFilter& filter, size_t* scan,
                          size_t enough, size_t* out) {
  const Sse2Filter blocks(filter);
  size_t at = *scan;
  size_t count = 0;
  for (; count < enough && at + kStartBlock - 1 <= filter.last_start;
       at += kStartBlock) {
    count += blocks.Block(at, out + count);
  }
  if (count < enough && at <= filter.last_start) {
    count += CollectFewPassing(filter, at, out + count);
    at = filter.last_start + 1;
  }
  *scan = at;
  return count;
}

size_t CollectPassing(const StartFilter& filter, size_t* scan, size_t enough,
                      size_t* out) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return CollectPassingAvx2(filter, scan, enough, out);
    }
  }
  return CollectPassingSse2(filter, scan, enough, out);
}

size_t CountPassing(const StartFilter& filter, size_t from) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return CountPassingAvx2(filter, from);
  }
  return CountPassingSse2(filter, from);
}

}  // namespace vellum
