#include "scan/byte_scan.h"

#include "scan/byte_scan_walk.h"
#include "scan/sse2_blocks.h"

namespace vellum {
namespace {

// Four 16-byte blocks, 64 bytes, per branch.
using Sse2Scans = ByteScans<Sse2Vector, 4>;

}  // namespace

size_t StringLengthSse2(const char* text) {
  return Sse2Scans::StringLength(text);
}

size_t BoundedLengthSse2(const char* text, size_t limit) {
  return Sse2Scans::BoundedLength(text, limit);
}

const char* FindByteWithinSse2(const char* from, size_t size, char byte) {
  return Sse2Scans::FindByteWithin(from, size, byte);
}

const char* FindByteSse2(const char* from, char byte) {
  return Sse2Scans::FindByte(from, byte);
}

const char* FindEitherByteSse2(const char* from, char first, char second) {
  return Sse2Scans::FindEitherByte(from, first, second);
}

}  // namespace vellum
