#include "scan/search/short_matches.h"

#include <emmintrin.h>

#include <cstdint>

#include "scan/bits.h"
#include "scan/cpu_features.h"
#include "scan/search/short_match_walk.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

using sse2::kBlock;

// The chunk tests of WalkShortMatches, four 16-byte blocks at a time. A
// two-byte pattern tests its first byte twice rather than take a branch.
class Sse2Chunk {
 public:
  explicit Sse2Chunk(std::string_view pattern)
      : inner_(pattern.size() == 3 ? 1 : 0),
        span_(pattern.size() - 1),
        first_(sse2::Splat(pattern[0])),
        second_(sse2::Splat(pattern[inner_])),
        last_(sse2::Splat(pattern[span_])) {}

  // Whether the `size` bytes from `at`, 64 or 128, hold a NUL.
  VELLUM_READS_WHOLE_BLOCKS bool HasZero(const char* at, size_t size) const {
    __m128i least = sse2::LoadAligned(at);
    for (size_t i = kBlock; i < size; i += kBlock) {
      least = _mm_min_epu8(least, sse2::LoadAligned(at + i));
    }
    return sse2::ZeroBytes(least) != 0;
  }

  VELLUM_READS_WHOLE_BLOCKS uint64_t Zeros(const char* at) const {
    uint64_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
      bits |= uint64_t{sse2::ZeroBytes(sse2::LoadAligned(at + i * kBlock))}
              << (i * kBlock);
    }
    return bits;
  }

  VELLUM_READS_WHOLE_BLOCKS uint64_t Starts(const char* at) const {
    uint64_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
      const char* p = at + i * kBlock;
      __m128i hits = _mm_and_si128(
          _mm_and_si128(
              _mm_cmpeq_epi8(sse2::LoadUnaligned(p), first_),
              _mm_cmpeq_epi8(sse2::LoadUnaligned(p + inner_), second_)),
          _mm_cmpeq_epi8(sse2::LoadUnaligned(p + span_), last_));
      bits |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(hits))}
              << (i * kBlock);
    }
    return bits;
  }

  static size_t Count(uint64_t bits) { return CountBits64(bits); }

 private:
  size_t inner_;
  size_t span_;
  __m128i first_;
  __m128i second_;
  __m128i last_;
};

}  // namespace

bool IsShortUnbordered(std::string_view pattern) {
  // The bytes at 0, 1 and the end are all the bytes of such a pattern.
  return (pattern.size() == 2 || pattern.size() == 3) && pattern[0] != '\0' &&
         pattern[1] != '\0' && pattern.back() != '\0' &&
         pattern.front() != pattern.back();
}

VELLUM_NOINLINE ShortMatches ScanShortMatchesSse2(const char* text,
                                                  std::string_view pattern,
                                                  size_t* out,
                                                  size_t capacity) {
  return WalkShortMatches(Sse2Chunk(pattern), text, pattern.size(), out,
                          capacity);
}

ShortMatches ScanShortMatches(const char* text, std::string_view pattern,
                              size_t* out, size_t capacity) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return ScanShortMatchesAvx2(text, pattern, out, capacity);
    }
  }
  return ScanShortMatchesSse2(text, pattern, out, capacity);
}

}  // namespace vellum
