// Scans of NUL-terminated strings for their terminator, for one byte value
// or for either of two, a whole vector at a time. They read no page that the
// string does not own, so they may run on a string that ends right before an
// unreadable page. Every command measures its string arguments here.
#pragma once

#include <cstddef>

#include "scan/cpu_features.h"

namespace vellum {

// Number of bytes before the first NUL of `text`.
inline size_t StringLength(const char* text);

// The smaller of StringLength(text) and `limit`: bytes of `text` past the
// first `limit` are never taken into account, so `text` need not be
// terminated within them, and no page is read that the first `limit` bytes
// do not reach.
inline size_t BoundedLength(const char* text, size_t limit);

// Address of the first of the `size` bytes from `from` that equals `byte`,
// or null; a NUL among them is a byte like any other. For one long run: the
// searches' many short skips take the inline FindFirstByteInline
// (scan/bounded_scans.h) instead, which costs no call.
inline const char* FindByteWithin(const char* from, size_t size, char byte);

// Address of the first byte at or after `from` that equals `byte`, or null
// when the terminator comes first. A `byte` of 0 is never found.
inline const char* FindByte(const char* from, char byte);

// Address of the first byte at or after `from` that equals `first` or
// `second`, or null when the terminator comes first. 0 is never found.
inline const char* FindEitherByte(const char* from, char first, char second);

// The same scans 16 bytes at a time (SSE2, every processor) and 32 at a
// time (AVX2: only where ChosenIsa() is, and only in a build that holds
// AVX2 code); the ones above choose between them.
size_t StringLengthSse2(const char* text);
size_t BoundedLengthSse2(const char* text, size_t limit);
const char* FindByteWithinSse2(const char* from, size_t size, char byte);
const char* FindByteSse2(const char* from, char byte);
const char* FindEitherByteSse2(const char* from, char first, char second);
size_t StringLengthAvx2(const char* text);
size_t BoundedLengthAvx2(const char* text, size_t limit);
const char* FindByteWithinAvx2(const char* from, size_t size, char byte);
const char* FindByteAvx2(const char* from, char byte);
const char* FindEitherByteAvx2(const char* from, char first, char second);

// The dispatchers, inline so that a command's call goes straight to the
// version. Where the build holds no AVX2 versions, their branch is not
// compiled, so nothing names them.
inline size_t StringLength(const char* text) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return StringLengthAvx2(text);
  }
  return StringLengthSse2(text);
}

inline size_t BoundedLength(const char* text, size_t limit) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return BoundedLengthAvx2(text, limit);
  }
  return BoundedLengthSse2(text, limit);
}

inline const char* FindByteWithin(const char* from, size_t size, char byte) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return FindByteWithinAvx2(from, size, byte);
  }
  return FindByteWithinSse2(from, size, byte);
}

inline const char* FindByte(const char* from, char byte) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return FindByteAvx2(from, byte);
  }
  return FindByteSse2(from, byte);
}

inline const char* FindEitherByte(const char* from, char first, char second) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return FindEitherByteAvx2(from, first, second);
    }
  }
  return FindEitherByteSse2(from, first, second);
}

}  // namespace vellum
