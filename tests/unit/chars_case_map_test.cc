// The case map over every byte value, at every length around the vector
// widths, against a plain table: the dispatcher, the SSE2 version, and the
// AVX2 version where this build holds it and the processor runs it.
#include <gtest/gtest.h>

#include <string>

#include "commands/chars/case_map.h"
#include "tests/unit/isa_versions.h"

namespace vellum {
namespace {

unsigned char Expected(unsigned char byte, unsigned char first) {
  bool letter = byte >= first && byte <= first + 25;
  return letter ? byte ^ 0x20 : byte;
}

using CaseMapFn = void (*)(const unsigned char*, unsigned char*, size_t,
                           unsigned char);

void CheckAllBytes(CaseMapFn map) {
  std::basic_string<unsigned char> all;
  for (int round = 0; round < 3; ++round) {
    for (int byte = 0; byte < 256; ++byte)
      all += static_cast<unsigned char>(byte);
  }
  for (unsigned char first : {'a', 'A'}) {
    for (size_t offset = 0; offset < 40; ++offset) {
      std::basic_string<unsigned char> out(all.size() - offset, 0);
      map(all.data() + offset, out.data(), out.size(), first);
      for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], Expected(all[offset + i], first))
            << "byte " << int(all[offset + i]) << " first " << first;
      }
    }
  }
}

TEST(CaseMap, ChangesOnlyTheAsciiLettersOfEveryByteValue) {
  CheckAllBytes(MapLetterCase);
  CheckAllBytes(MapLetterCaseSse2);
}

TEST(CaseMap, WideVersionAgrees) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (!RunsHere(Isa::kAvx2)) GTEST_SKIP() << "no AVX2 here";
    CheckAllBytes(MapLetterCaseAvx2);
  } else {
    GTEST_SKIP() << "this build holds no AVX2 code";
  }
}

}  // namespace
}  // namespace vellum
