#include <algorithm>

#include "scan/avx2_blocks.h"
#include "scan/bits.h"
#include "scan/byte_scan.h"
#include "scan/sse2_blocks.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt")

#include "scan/byte_scan_walk.h"

namespace vellum {
namespace {

// Eight 32-byte blocks, 256 bytes, per branch.
using Avx2Scans = ByteScans<Avx2Vector, 8>;

}  // namespace

size_t StringLengthAvx2(const char* text) {
  return Avx2Scans::StringLength(text);
}

size_t BoundedLengthAvx2(const char* text, size_t limit) {
  return Avx2Scans::BoundedLength(text, limit);
}

const char* FindByteWithinAvx2(const char* from, size_t size, char byte) {
  return Avx2Scans::FindByteWithin(from, size, byte);
}

const char* FindByteAvx2(const char* from, char byte) {
  return Avx2Scans::FindByte(from, byte);
}

const char* FindEitherByteAvx2(const char* from, char first, char second) {
  return Avx2Scans::FindEitherByte(from, first, second);
}

}  // namespace vellum

VELLUM_UNTARGET_REGION
