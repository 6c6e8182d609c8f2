#include "scan/cpu_features.h"

#include <algorithm>

#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace vellum {
namespace {

#if defined(_MSC_VER)

bool CpuidBit(int leaf, int word, int bit) {
  int info[4];
  __cpuidex(info, leaf, 0);
  return (info[word] >> bit) & 1;
}

// The string-compare instructions.
bool HasSse42() { return CpuidBit(1, 2, 20); }

// 32-byte integer vectors, with the system saving the upper halves of their
// registers (XCR0 bits 1 and 2).
bool HasAvx2() {
  return CpuidBit(1, 2, 27) && CpuidBit(1, 2, 28) && (_xgetbv(0) & 6) == 6 &&
         CpuidBit(7, 1, 5);
}

#else

// The compiler's run-time check also asks the system about AVX state. It
// may run before the constructors that would set its answers up, so it
// sets them up itself first.
bool HasSse42() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse4.2");
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

#endif

}  // namespace

Isa OfferedIsa() {
  if (!HasSse42()) return Isa::kSse2;
  return HasAvx2() ? Isa::kAvx2 : Isa::kSse42;
}

namespace dispatch {

Isa chosen = std::min(OfferedIsa(), kBuiltIsa);

}  // namespace dispatch

}  // namespace vellum
