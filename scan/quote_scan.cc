#include "scan/quote_scan.h"

#include <cstdint>

#include "scan/bits.h"
#include "scan/short_text.h"
#include "scan/sse2_blocks.h"

namespace vellum {

using sse2::kBlock;
using sse2::LoadUnaligned;
using sse2::Splat;
using sse2::StoreUnaligned;

QuoteCensus TakeQuoteCensus(std::string_view text) {
  // A field of a record most often: both masks of its bytes at once.
  if (text.size() < short_text::kSpan && short_text::InReach(text.data())) {
    const uint32_t bytes = short_text::LowBits(text.size());
    return {
        CountBits(short_text::Equal32(text.data(), sse2::Splat('"')) & bytes),
        (short_text::Equal32(text.data(), sse2::Splat(',')) & bytes) != 0};
  }
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i comma = _mm_set1_epi8(',');
  __m128i commas = _mm_setzero_si128();
  __m128i sums = _mm_setzero_si128();  // two 64-bit counts
  size_t i = 0;
  while (i + kBlock <= text.size()) {
    // Each quote adds 1 to its byte lane; 255 blocks cannot overflow one.
    __m128i lanes = _mm_setzero_si128();
    for (int round = 0; round < 255 && i + kBlock <= text.size();
         ++round, i += kBlock) {
      __m128i block = LoadUnaligned(text.data() + i);
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, quote));
      commas = _mm_or_si128(commas, _mm_cmpeq_epi8(block, comma));
    }
    sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, _mm_setzero_si128()));
  }
  alignas(16) uint64_t halves[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(halves), sums);
  QuoteCensus census{static_cast<size_t>(halves[0] + halves[1]),
                     _mm_movemask_epi8(commas) != 0};
  for (; i < text.size(); ++i) {
    census.quotes += text[i] == '"';
    census.has_comma |= text[i] == ',';
  }
  return census;
}

// A block without quotes is stored as it is and a block of nothing else as
// 32 quotes; in the rest each byte is written with a quote after it, and
// the next write begins on that quote unless the byte was one.
char* CopyDoublingQuotes(char* out, std::string_view text) {
  size_t i;
  out = sse2::CopyBlocksOfFew(out, text, '"', &i,
                              [&](char* to, size_t at, unsigned mask) {
                                if (mask == 0xFFFF) {
                                  StoreUnaligned(to, Splat('"'));
                                  StoreUnaligned(to + kBlock, Splat('"'));
                                  return to + 2 * kBlock;
                                }
                                for (size_t k = at; k < at + kBlock; ++k) {
                                  to[0] = text[k];
                                  to[1] = '"';
                                  to += 1 + (text[k] == '"');
                                }
                                return to;
                              });
  for (; i < text.size(); ++i) {
    out[0] = text[i];
    out[1] = '"';
    out += 1 + (text[i] == '"');
  }
  return out;
}

}  // namespace vellum
