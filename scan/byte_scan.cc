#include "scan/byte_scan.h"

#include "scan/cpu_features.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::Address;
using sse2::AlignDown;
using sse2::kBlock;
using sse2::LoadAligned;
using sse2::LowestBit;
using sse2::Splat;
using sse2::ZeroBytes;

// A byte that stops the scan becomes 0 in the block that `Stops` returns:
// min(x ^ c, x) is zero exactly where x equals c or is the terminator, and
// taking the minimum of several such blocks keeps every zero, so four
// blocks are tested with one compare.
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

const char* NullAtTerminator(const char* stop) {
  return *stop != '\0' ? stop : nullptr;
}

}  // namespace

const char* FindByteSse2(const char* from, char byte) {
  return NullAtTerminator(ScanToStop(from, StopAtByte{Splat(byte)}));
}

const char* FindEitherByteSse2(const char* from, char first, char second) {
  return NullAtTerminator(
      ScanToStop(from, StopAtEitherByte{Splat(first), Splat(second)}));
}

const char* FindByte(const char* from, char byte) {
  return HasAvx2() ? FindByteAvx2(from, byte) : FindByteSse2(from, byte);
}

const char* FindEitherByte(const char* from, char first, char second) {
  return HasAvx2() ? FindEitherByteAvx2(from, first, second)
                   : FindEitherByteSse2(from, first, second);
}

}  // namespace vellum
