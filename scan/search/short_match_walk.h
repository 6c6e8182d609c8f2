// The pass of ScanShortMatches over 64-byte aligned chunks, shared by the
// SSE2 and AVX2 versions, each of which supplies the chunk tests. Templates
// only: short_matches_avx2.cc includes this inside its target region, as
// scan/target_region.h tells, so that its copy takes AVX2 instructions.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/bits.h"
#include "scan/search/bit_offsets.h"
#include "scan/search/short_matches.h"
#include "scan/sse2_blocks.h"

namespace vellum {
// Internal to each file that includes it, as scan/target_region.h asks.
namespace {

inline constexpr size_t kMatchChunk = 64;

// `Chunk` gives, for a 64-byte aligned `at`:
//   HasZero(at, size)  whether the `size` bytes from `at`, this chunk or
//                this and the next, hold a NUL;
//   Zeros(at)    bit i set when byte i is NUL;
//   Starts(at)   bit i set when the pattern's bytes stand at at + i, reading
//                up to at + 65; `at` need not be aligned here, as the
//                32-bit build's stack promises no alignment for a copy;
//   Count(bits)  the number of set bits.
//
// A chunk is tested for starts only once it is known to hold no NUL: the
// text then goes on into the next chunk, whose page the text owns, and the
// starts' reads end there. The chunk holding the NUL is tested from a copy
// padded with zeros, which match no pattern byte.
template <class Chunk>
VELLUM_READS_WHOLE_BLOCKS ShortMatches WalkShortMatches(const Chunk& chunk,
                                                        const char* text,
                                                        size_t pattern_size,
                                                        size_t* out,
                                                        size_t capacity) {
  constexpr size_t kPair = 2 * kMatchChunk;
  size_t stored = 0;
  size_t unstored = 0;
  // The starts of two chunks from `at` on. Whole pairs are stored while the
  // block surely has room for them; the starts of the rest are only counted.
  auto take = [&](uint64_t low, uint64_t high, const char* at) {
    size_t count = Chunk::Count(low) + Chunk::Count(high);
    if (stored + kPair <= capacity) {
      // The offset wraps below zero for the first chunk; every set bit
      // brings it back into the text.
      stored += StoreBitOffsets(low, high, count,
                                static_cast<size_t>(at - text), out + stored);
    } else {
      unstored += count;
    }
  };
  const char* at = sse2::AlignDown(text, kMatchChunk);
  // Bytes of the first chunk before the text are neither ends nor starts.
  uint64_t in_text = ~uint64_t{0} << (text - at);
  if ((chunk.Zeros(at) & in_text) == 0) {
    take(chunk.Starts(at) & in_text, 0, at);
    at += kMatchChunk;
    in_text = ~uint64_t{0};
    // A pair of chunks from a multiple of its size lies in one page, so
    // both are tested for the terminator at once.
    if (sse2::Address(at) % kPair != 0 && !chunk.HasZero(at, kMatchChunk)) {
      take(chunk.Starts(at), 0, at);
      at += kMatchChunk;
    }
    if (sse2::Address(at) % kPair == 0) {
      for (; !chunk.HasZero(at, kPair); at += kPair) {
        take(chunk.Starts(at), chunk.Starts(at + kMatchChunk), at);
      }
      if (!chunk.HasZero(at, kMatchChunk)) {
        take(chunk.Starts(at), 0, at);
        at += kMatchChunk;
      }
    }
  }
  const size_t end = LowestBit64(chunk.Zeros(at) & in_text);
  if (end >= pattern_size) {
    char padded[2 * kMatchChunk] = {};
    for (size_t i = 0; i < kMatchChunk; i += sse2::kBlock) {
      sse2::StoreUnaligned(padded + i, sse2::LoadAligned(at + i));
    }
    // Starts from which the whole pattern comes before the terminator.
    uint64_t before_end = (uint64_t{2} << (end - pattern_size)) - 1;
    take(chunk.Starts(padded) & in_text & before_end, 0, at);
  }
  return {static_cast<size_t>(at - text) + end, stored + unstored, stored};
}

}  // namespace
}  // namespace vellum
