// The 32-byte versions of the byte scans. Everything after the target
// pragma is compiled for AVX2 and runs only where ChosenIsa() says so; the
// headers come before it so that no shared inline function is compiled
// for AVX2 and then taken by the linker for the SSE2 code.
#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#include "scan/byte_scan.h"
#include "scan/sse2_blocks.h"

#if defined(__GNUC__)
#pragma GCC target("avx2")
#endif

#include "scan/avx2_blocks.h"

namespace vellum {
namespace {

uint32_t ZeroBytesWide(__m256i block) {
  return static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(block, _mm256_setzero_si256())));
}

// As in the SSE2 scans: min(x ^ c, x) is zero where x is c or the
// terminator, and the minimum of several blocks keeps every zero.
struct StopAtTerminator {
  __m256i operator()(__m256i x) const { return x; }
};

struct StopAtByteOnly {
  __m256i byte;
  __m256i operator()(__m256i x) const { return _mm256_xor_si256(x, byte); }
};

struct StopAtByte {
  __m256i byte;
  __m256i operator()(__m256i x) const {
    return _mm256_min_epu8(_mm256_xor_si256(x, byte), x);
  }
};

struct StopAtEitherByte {
  __m256i first;
  __m256i second;
  __m256i operator()(__m256i x) const {
    return _mm256_min_epu8(_mm256_min_epu8(_mm256_xor_si256(x, first),
                                           _mm256_xor_si256(x, second)),
                           x);
  }
};

// Aligned 32-byte blocks never straddle a page boundary.
template <class Stops>
VELLUM_READS_WHOLE_BLOCKS const char* ScanToStop(const char* from,
                                                 Stops stops) {
  const char* block = sse2::AlignDown(from, kWide);
  unsigned skipped = static_cast<unsigned>(from - block);
  uint32_t hits = ZeroBytesWide(stops(LoadWide(block))) >> skipped;
  if (hits != 0) return from + LowestBit(hits);
  for (block += kWide; sse2::Address(block) & 255; block += kWide) {
    hits = ZeroBytesWide(stops(LoadWide(block)));
    if (hits != 0) return block + LowestBit(hits);
  }
  // Rounds of eight blocks, 256 bytes per branch; the single blocks of the
  // round that stops find where.
  for (;; block += 8 * kWide) {
    __m256i m = stops(LoadWide(block));
    for (size_t i = 1; i < 8; ++i) {
      m = _mm256_min_epu8(m, stops(LoadWide(block + i * kWide)));
    }
    if (ZeroBytesWide(m) != 0) break;
  }
  for (;; block += kWide) {
    hits = ZeroBytesWide(stops(LoadWide(block)));
    if (hits != 0) return block + LowestBit(hits);
  }
}

// As ScanToStop, but over the `limit` bytes from `from` only, loading no
// block that starts at or past from + limit; answers with an offset from
// `from`, `limit` when nothing stops the scan.
template <class Stops>
VELLUM_READS_WHOLE_BLOCKS size_t ScanToStopWithin(const char* from,
                                                  size_t limit, Stops stops) {
  if (limit == 0) return 0;
  const char* first = sse2::AlignDown(from, kWide);
  unsigned skipped = static_cast<unsigned>(from - first);
  uint32_t hits = ZeroBytesWide(stops(LoadWide(first))) >> skipped;
  if (hits != 0) return std::min<size_t>(LowestBit(hits), limit);
  size_t done = kWide - skipped;  // `from + done` is the next block
  for (; done < limit && (sse2::Address(from + done) & 127); done += kWide) {
    hits = ZeroBytesWide(stops(LoadWide(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  for (; done + 3 * kWide < limit; done += 4 * kWide) {
    const char* block = from + done;
    __m256i a = stops(LoadWide(block));
    __m256i b = stops(LoadWide(block + kWide));
    __m256i c = stops(LoadWide(block + 2 * kWide));
    __m256i d = stops(LoadWide(block + 3 * kWide));
    if (ZeroBytesWide(_mm256_min_epu8(_mm256_min_epu8(a, b),
                                      _mm256_min_epu8(c, d))) != 0) {
      break;  // the single blocks below find which
    }
  }
  for (; done < limit; done += kWide) {
    hits = ZeroBytesWide(stops(LoadWide(from + done)));
    if (hits != 0) return std::min(done + LowestBit(hits), limit);
  }
  return limit;
}

const char* NullAtTerminator(const char* stop) {
  return *stop != '\0' ? stop : nullptr;
}

}  // namespace

size_t StringLengthAvx2(const char* text) {
  return static_cast<size_t>(ScanToStop(text, StopAtTerminator{}) - text);
}

size_t BoundedLengthAvx2(const char* text, size_t limit) {
  return ScanToStopWithin(text, limit, StopAtTerminator{});
}

const char* FindByteWithinAvx2(const char* from, size_t size, char byte) {
  size_t at =
      ScanToStopWithin(from, size, StopAtByteOnly{_mm256_set1_epi8(byte)});
  return at < size ? from + at : nullptr;
}

const char* FindByteAvx2(const char* from, char byte) {
  return NullAtTerminator(ScanToStop(from, StopAtByte{_mm256_set1_epi8(byte)}));
}

const char* FindEitherByteAvx2(const char* from, char first, char second) {
  return NullAtTerminator(ScanToStop(
      from,
      StopAtEitherByte{_mm256_set1_epi8(first), _mm256_set1_epi8(second)}));
}

}  // namespace vellum
