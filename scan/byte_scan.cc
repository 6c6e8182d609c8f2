#include "scan/byte_scan.h"

#include <algorithm>

#include "scan/cpu_features.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::Address;
using sse2::AlignDown;
using sse2::kBlock;
using sse2::LoadAligned;
using sse2::Splat;
using sse2::ZeroBytes;

// A byte that stops the scan becomes 0 in the block that `Stops` returns:
// min(x ^ c, x) is zero exactly where x equals c or is the terminator, and
// taking the minimum of several such blocks keeps every zero, so four
// blocks are tested with one compare.
struct StopAtTerminator {
  __m128i operator()(__m128i x) const { return x; }
};

// Stops at `byte` only: the scans over a counted run of bytes.
struct StopAtByteOnly {
  __m128i byte;
  __m128i operator()(__m128i x) const { return _mm_xor_si128(x, byte); }
};

struct StopAtByte {
  __m128i byte;
  __m128i operator()(__m128i x) const {
    return _mm_min_epu8(_mm_xor_si128(x, byte), x);
  }
};

struct StopAtEitherByte {
  __m128i first;
  __m128i second;
  __m128i operator()(__m128i x) const {
    return _mm_min_epu8(
        _mm_min_epu8(_mm_xor_si128(x, first), _mm_xor_si128(x, second)), x);
  }
};

// Address of the first byte at or after `from` that `stops` zeroes. One of
// them is always found, since every stop rule zeroes the terminator.
template <class Stops>
VELLUM_READS_WHOLE_BLOCKS const char* ScanToStop(const char* from,
                                                 Stops stops) {
  // The first block starts before `from`; its earlier bytes are shifted out.
  const char* block = AlignDown(from, kBlock);
  unsigned skipped = static_cast<unsigned>(from - block);
  unsigned hits = ZeroBytes(stops(LoadAligned(block))) >> skipped;
  if (hits != 0) return from + LowestBit(hits);
  // Single blocks up to a 64-byte boundary, then four blocks per round.
  for (block += kBlock; Address(block) & 63; block += kBlock) {
    hits = ZeroBytes(stops(LoadAligned(block)));
    if (hits != 0) return block + LowestBit(hits);
  }
  for (;; block += 4 * kBlock) {
    __m128i a = stops(LoadAligned(block));
    __m128i b = stops(LoadAligned(block + kBlock));
    __m128i c = stops(LoadAligned(block + 2 * kBlock));
    __m128i d = stops(LoadAligned(block + 3 * kBlock));
    if (ZeroBytes(_mm_min_epu8(_mm_min_epu8(a, b), _mm_min_epu8(c, d))) == 0) {
      continue;
    }
    if ((hits = ZeroBytes(a)) != 0) return block + LowestBit(hits);
    if ((hits = ZeroBytes(b)) != 0) return block + kBlock + LowestBit(hits);
    if ((hits = ZeroBytes(c)) != 0) return block + 2 * kBlock + LowestBit(hits);
    return block + 3 * kBlock + LowestBit(ZeroBytes(d));
  }
}

// Offset from `from` of the first byte that `stops` zeroes among the
// `limit` bytes from `from`, or `limit` when there is none. The same aligned
// blocks as above, but no block is loaded that starts at or past
// from + limit: that one might lie in a page of its own.
template <class Stops>
VELLUM_READS_WHOLE_BLOCKS size_t ScanToStopWithin(const char* from,
                                                  size_t limit, Stops stops) {
  if (limit == 0) return 0;
  const char* first = AlignDown(from, kBlock);
  unsigned skipped = static_cast<unsigned>(from - first);
  unsigned hits = ZeroBytes(stops(LoadAligned(first))) >> skipped;
  if (hits != 0) return std::min<size_t>(LowestBit(hits), limit);
  size_t done = kBlock - skipped;  // `from + done` is the next block
  for (; done < limit && (Address(from + done) & 63); done += kBlock) {
    hits = ZeroBytes(stops(LoadAligned(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  for (; done + 3 * kBlock < limit; done += 4 * kBlock) {
    const char* block = from + done;
    __m128i a = stops(LoadAligned(block));
    __m128i b = stops(LoadAligned(block + kBlock));
    __m128i c = stops(LoadAligned(block + 2 * kBlock));
    __m128i d = stops(LoadAligned(block + 3 * kBlock));
    if (ZeroBytes(_mm_min_epu8(_mm_min_epu8(a, b), _mm_min_epu8(c, d))) != 0) {
      break;  // the single blocks below find which
    }
  }
  for (; done < limit; done += kBlock) {
    hits = ZeroBytes(stops(LoadAligned(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  return limit;
}

const char* NullAtTerminator(const char* stop) {
  return *stop != '\0' ? stop : nullptr;
}

}  // namespace

size_t StringLengthSse2(const char* text) {
  return static_cast<size_t>(ScanToStop(text, StopAtTerminator{}) - text);
}

size_t BoundedLengthSse2(const char* text, size_t limit) {
  return ScanToStopWithin(text, limit, StopAtTerminator{});
}

const char* FindByteWithinSse2(const char* from, size_t size, char byte) {
  size_t at = ScanToStopWithin(from, size, StopAtByteOnly{Splat(byte)});
  return at < size ? from + at : nullptr;
}

const char* FindByteSse2(const char* from, char byte) {
  return NullAtTerminator(ScanToStop(from, StopAtByte{Splat(byte)}));
}

const char* FindEitherByteSse2(const char* from, char first, char second) {
  return NullAtTerminator(
      ScanToStop(from, StopAtEitherByte{Splat(first), Splat(second)}));
}

}  // namespace vellum
