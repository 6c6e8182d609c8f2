// The byte scans of scan/byte_scan.h, written once for a vector type `V`
// (Sse2Vector, Avx2Vector): byte_scan.cc instantiates them for SSE2 and
// byte_scan_avx2.cc, inside its target region, for AVX2. Templates only, as
// scan/target_region.h asks of a header included inside a region.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "scan/bits.h"
#include "scan/sse2_blocks.h"

namespace vellum {
// Internal to each file that includes it, as scan/target_region.h asks.
namespace {

// A byte that stops a scan becomes 0 in the block that its stop rule
// returns: min(x ^ c, x) is zero exactly where x equals c or is the
// terminator, and the minimum of several such blocks keeps every zero, so a
// round of blocks is tested with one compare.
template <class V>
struct StopAtTerminator {
  typename V::Block operator()(typename V::Block x) const { return x; }
};

// Stops at `byte` only: the scans over a counted run of bytes.
template <class V>
struct StopAtByteOnly {
  typename V::Block byte;
  typename V::Block operator()(typename V::Block x) const {
    return V::Xor(x, byte);
  }
};

template <class V>
struct StopAtByte {
  typename V::Block byte;
  typename V::Block operator()(typename V::Block x) const {
    return V::Min(V::Xor(x, byte), x);
  }
};

template <class V>
struct StopAtEitherByte {
  typename V::Block first;
  typename V::Block second;
  typename V::Block operator()(typename V::Block x) const {
    return V::Min(V::Min(V::Xor(x, first), V::Xor(x, second)), x);
  }
};

// The least of the `kBlocks` aligned blocks from `block` after `stops`,
// taken in pairs, so that no block waits for all the ones before it: zero
// in each byte where one of them stops the scan. Halves rather than an
// array, which the 32-bit build would keep in memory.
template <size_t kBlocks, class V, template <class> class Stops>
VELLUM_READS_WHOLE_BLOCKS typename V::Block LeastOfRound(const char* block,
                                                         Stops<V> stops) {
  if constexpr (kBlocks == 1) {
    return stops(V::Load(block));
  } else {
    constexpr size_t kHalf = kBlocks / 2;
    return V::Min(LeastOfRound<kHalf>(block, stops),
                  LeastOfRound<kHalf>(block + kHalf * V::kSize, stops));
  }
}

// Whether any byte of the `kBlocks` aligned blocks from `block` stops the
// scan.
template <size_t kBlocks, class V, template <class> class Stops>
VELLUM_READS_WHOLE_BLOCKS bool RoundStops(const char* block, Stops<V> stops) {
  return V::ZeroBits(LeastOfRound<kBlocks>(block, stops)) != 0;
}

// Address of the first byte at or after `from` that `stops` zeroes. One of
// them is always found, since every stop rule zeroes the terminator.
// Aligned blocks never straddle a page boundary. Past the first, single
// blocks up to a round boundary, then rounds of `kRoundBlocks` blocks, one
// branch each; the single blocks of the round that stops find where.
template <size_t kRoundBlocks, class V, template <class> class Stops>
VELLUM_READS_WHOLE_BLOCKS const char* ScanToStop(const char* from,
                                                 Stops<V> stops) {
  constexpr size_t kRound = kRoundBlocks * V::kSize;
  // The first block starts before `from`; its earlier bytes are shifted out.
  const char* block = sse2::AlignDown(from, V::kSize);
  unsigned skipped = static_cast<unsigned>(from - block);
  uint32_t hits = V::ZeroBits(stops(V::Load(block))) >> skipped;
  if (hits != 0) return from + LowestBit(hits);
  for (block += V::kSize; sse2::Address(block) % kRound != 0;
       block += V::kSize) {
    hits = V::ZeroBits(stops(V::Load(block)));
    if (hits != 0) return block + LowestBit(hits);
  }
  while (!RoundStops<kRoundBlocks>(block, stops)) block += kRound;
  for (;; block += V::kSize) {
    hits = V::ZeroBits(stops(V::Load(block)));
    if (hits != 0) return block + LowestBit(hits);
  }
}

// Offset from `from` of the first byte that `stops` zeroes among the
// `limit` bytes from `from`, or `limit` when there is none. The same aligned
// blocks as above, in rounds of four, but no block is loaded that starts at
// or past from + limit: that one might lie in a page of its own.
template <class V, template <class> class Stops>
VELLUM_READS_WHOLE_BLOCKS size_t ScanToStopWithin(const char* from,
                                                  size_t limit,
                                                  Stops<V> stops) {
  constexpr size_t kRoundBlocks = 4;
  constexpr size_t kRound = kRoundBlocks * V::kSize;
  if (limit == 0) return 0;
  const char* first = sse2::AlignDown(from, V::kSize);
  unsigned skipped = static_cast<unsigned>(from - first);
  uint32_t hits = V::ZeroBits(stops(V::Load(first))) >> skipped;
  if (hits != 0) return std::min<size_t>(LowestBit(hits), limit);
  size_t done = V::kSize - skipped;  // `from + done` is the next block
  for (; done < limit && sse2::Address(from + done) % kRound != 0;
       done += V::kSize) {
    hits = V::ZeroBits(stops(V::Load(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  for (; done + kRound - V::kSize < limit; done += kRound) {
    if (RoundStops<kRoundBlocks>(from + done, stops)) break;
  }
  for (; done < limit; done += V::kSize) {
    hits = V::ZeroBits(stops(V::Load(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  return limit;
}

// The scans of byte_scan.h for one vector type; the unbounded ones test
// `kRoundBlocks` blocks per branch.
template <class V, size_t kRoundBlocks>
struct ByteScans {
  static size_t StringLength(const char* text) {
    return static_cast<size_t>(
        ScanToStop<kRoundBlocks>(text, StopAtTerminator<V>{}) - text);
  }

  static size_t BoundedLength(const char* text, size_t limit) {
    return ScanToStopWithin(text, limit, StopAtTerminator<V>{});
  }

  static const char* FindByteWithin(const char* from, size_t size, char byte) {
    size_t at = ScanToStopWithin(from, size, StopAtByteOnly<V>{V::Splat(byte)});
    return at < size ? from + at : nullptr;
  }

  static const char* FindByte(const char* from, char byte) {
    return NullAtTerminator(
        ScanToStop<kRoundBlocks>(from, StopAtByte<V>{V::Splat(byte)}));
  }

  static const char* FindEitherByte(const char* from, char first, char second) {
    return NullAtTerminator(ScanToStop<kRoundBlocks>(
        from, StopAtEitherByte<V>{V::Splat(first), V::Splat(second)}));
  }

 private:
  static const char* NullAtTerminator(const char* stop) {
    return *stop != '\0' ? stop : nullptr;
  }
};

}  // namespace
}  // namespace vellum
