#include "scan/cpu_features.h"

#include <algorithm>

#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#else
#include <cpuid.h>
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

// BMI1, BMI2 and LZCNT.
bool HasBitInstructions() {
  return CpuidBit(7, 1, 3) && CpuidBit(7, 1, 8) && CpuidBit(0x80000001, 2, 5);
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

// BMI1, BMI2 and LZCNT, asked of the processor itself: not every compiler's
// run-time check knows LZCNT.
bool HasBitInstructions() {
  unsigned a, b, c, d;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const bool bmi = (b >> 3) & 1;
  const bool bmi2 = (b >> 8) & 1;
  if (!__get_cpuid(0x80000001, &a, &b, &c, &d)) return false;
  return bmi && bmi2 && ((c >> 5) & 1);
}

#endif

}  // namespace

Isa OfferedIsa() {
  if (!HasSse42()) return Isa::kSse2;
  // Every processor with AVX2 has the bit instructions too, and the AVX2
  // versions use them; one that claimed the first alone is taken at its
  // word for neither.
  return HasAvx2() && HasBitInstructions() ? Isa::kAvx2 : Isa::kSse42;
}

namespace dispatch {

Isa chosen = std::min(OfferedIsa(), kBuiltIsa);

}  // namespace dispatch

}  // namespace vellum
