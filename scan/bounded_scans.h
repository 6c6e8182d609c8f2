// Scans over byte ranges of known size, sixteen bytes at a time. Every load
// lies inside the ranges given, so these read nothing past either end.
// Inline: the substring searches call them once per candidate start.
#pragma once

#include <cstddef>
#include <string_view>

#include "scan/sse2_blocks.h"

namespace vellum {
namespace bounded {

using sse2::kBlock;

// Bit i set when byte i of the blocks at `a` and `b` differ.
inline unsigned DifferingBytes(const char* a, const char* b) {
  return ~sse2::EqualBytes(sse2::LoadUnaligned(a), sse2::LoadUnaligned(b)) &
         0xFFFF;
}

}  // namespace bounded

// Length of the common prefix of a[0, size) and b[0, size).
inline size_t CommonPrefix(const char* a, const char* b, size_t size) {
  using bounded::kBlock;
  size_t i = 0;
  for (; i + kBlock <= size; i += kBlock) {
    unsigned differ = bounded::DifferingBytes(a + i, b + i);
    if (differ != 0) return i + LowestBit(differ);
  }
  while (i < size && a[i] == b[i]) ++i;
  return i;
}

// Length of the common suffix of a[0, size) and b[0, size).
inline size_t CommonSuffix(const char* a, const char* b, size_t size) {
  using bounded::kBlock;
  size_t end = size;  // bytes from `end` on agree
  for (; end >= kBlock; end -= kBlock) {
    unsigned differ =
        bounded::DifferingBytes(a + end - kBlock, b + end - kBlock);
    if (differ != 0) return size - (end - kBlock + HighestBit(differ) + 1);
  }
  while (end > 0 && a[end - 1] == b[end - 1]) --end;
  return size - end;
}

// Offset of the first `byte` in `text`, or std::string_view::npos. Inline
// and SSE2 only, with no call and no choice of version: two-way skips to
// the next candidate with it, once per candidate, over runs that are mostly
// short. One long run goes to FindByteWithin (scan/byte_scan.h), a call to
// the widest version the processor runs.
inline size_t FindFirstByteInline(std::string_view text, char byte) {
  using bounded::kBlock;
  const __m128i wanted = sse2::Splat(byte);
  size_t at = 0;
  for (; at + kBlock <= text.size(); at += kBlock) {
    unsigned hits =
        sse2::EqualBytes(sse2::LoadUnaligned(text.data() + at), wanted);
    if (hits != 0) return at + LowestBit(hits);
  }
  for (; at < text.size(); ++at) {
    if (text[at] == byte) return at;
  }
  return std::string_view::npos;
}

// Offset of the last `byte` in `text`, or std::string_view::npos.
inline size_t FindLastByteInline(std::string_view text, char byte) {
  using bounded::kBlock;
  const __m128i wanted = sse2::Splat(byte);
  size_t end = text.size();
  for (; end >= kBlock; end -= kBlock) {
    unsigned hits = sse2::EqualBytes(
        sse2::LoadUnaligned(text.data() + end - kBlock), wanted);
    if (hits != 0) return end - kBlock + HighestBit(hits);
  }
  while (end-- > 0) {
    if (text[end] == byte) return end;
  }
  return std::string_view::npos;
}

}  // namespace vellum
