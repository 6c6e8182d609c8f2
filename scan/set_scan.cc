#include "scan/set_scan.h"

#include <nmmintrin.h>

#include "scan/byte_scan.h"
#include "scan/byte_set.h"
#include "scan/cpu_features.h"
#include "scan/sse2_blocks.h"
#include "scan/target_region.h"

namespace vellum {
namespace {

// Up to 16 distinct members, in order of first appearance, NUL-padded: the
// form in which the string-compare instruction's "equal any" takes a set,
// which a ByteSet's bit map is not. `size` is 17 when there are more.
struct EqualAnySet {
  static constexpr size_t kCapacity = 16;
  explicit EqualAnySet(std::string_view members)
      : size(DistinctBytes(members, bytes, kCapacity)) {}
  bool overflowed() const { return size > kCapacity; }

  char bytes[kCapacity] = {};
  size_t size;
};

// One bit test per byte: the terminator is a stop of its own, so the loop
// makes no second test. Reads each byte only after the one before it.
const char* ScanWithMap(const char* from, const ByteSet& stops) {
  const char* p = from;
  while (!stops.contains(*p)) ++p;
  return *p != '\0' ? p : nullptr;
}

// The set of stops of the map scan: the members and the terminator.
ByteSet StopsOf(std::string_view members) {
  ByteSet stops(members);
  stops.add('\0');
  return stops;
}

#if VELLUM_MAX_ISA_LEVEL >= 1
VELLUM_TARGET_REGION("sse4.2")

// Sixteen bytes per instruction: "equal any" of the string-compare
// instruction finds the first member before the block's own terminator.
// The bytes up to the first 16-byte boundary go through the map so that
// every block load is aligned.
VELLUM_READS_WHOLE_BLOCKS const char* ScanWithSse42(const char* from,
                                                    const EqualAnySet& set,
                                                    const ByteSet& stops) {
  constexpr int kMode =
      _SIDD_UBYTE_OPS | _SIDD_CMP_EQUAL_ANY | _SIDD_LEAST_SIGNIFICANT;
  const char* p = from;
  for (; sse2::Address(p) & (sse2::kBlock - 1); ++p) {
    if (stops.contains(*p)) return *p != '\0' ? p : nullptr;
  }
  const __m128i members = sse2::LoadUnaligned(set.bytes);
  for (;; p += sse2::kBlock) {
    __m128i block = sse2::LoadAligned(p);
    // 16 when no member comes before the block's terminator or its end.
    int index = _mm_cmpistri(members, block, kMode);
    if (index < 16) return p + index;
    if (sse2::ZeroBytes(block) != 0) return nullptr;
  }
}

VELLUM_UNTARGET_REGION
#endif

}  // namespace

const char* FindAnyByteSse2(const char* from, std::string_view members) {
  return ScanWithMap(from, StopsOf(members));
}

#if VELLUM_MAX_ISA_LEVEL >= 1
const char* FindAnyByteSse42(const char* from, std::string_view members) {
  return ScanWithSse42(from, EqualAnySet(members), StopsOf(members));
}
#endif

const char* FindAnyByte(const char* from, std::string_view members) {
  const EqualAnySet set(members);
  if (set.size == 0) return nullptr;
  if (set.size == 1) return FindByte(from, set.bytes[0]);
  if (set.size == 2) return FindEitherByte(from, set.bytes[0], set.bytes[1]);
#if VELLUM_MAX_ISA_LEVEL >= 1
  if (!set.overflowed() && ChosenIsa() >= Isa::kSse42) {
    return ScanWithSse42(from, set, StopsOf(members));
  }
#endif
  return ScanWithMap(from, StopsOf(members));
}

}  // namespace vellum
