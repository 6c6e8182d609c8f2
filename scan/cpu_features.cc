#include "scan/cpu_features.h"

#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace vellum {

#if defined(_MSC_VER)

namespace {

bool CpuidBit(int leaf, int word, int bit) {
  int info[4];
  __cpuidex(info, leaf, 0);
  return (info[word] >> bit) & 1;
}

}  // namespace

bool HasSse42() {
  static const bool has = CpuidBit(1, 2, 20);
  return has;
}

bool HasAvx2() {
  // The system must save the upper halves (XCR0 bits 1 and 2).
  static const bool has = CpuidBit(1, 2, 27) && CpuidBit(1, 2, 28) &&
                          (_xgetbv(0) & 6) == 6 && CpuidBit(7, 1, 5);
  return has;
}

#else

// The compiler's run-time check also asks the system about AVX state.
bool HasSse42() {
  static const bool has = __builtin_cpu_supports("sse4.2");
  return has;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif

}  // namespace vellum
