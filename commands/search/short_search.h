// The short paths of INSTR, LAST INSTR and STRING COUNT, which differ only
// in what they make of the starts where a short text holds the search
// string, and FIND CHAR's. Each has an SSE2 version, inline here, and an
// AVX2 version in short_search_avx2.cc; the export is the jump to the one
// ChosenIsa() names, so the version is chosen before any vector code runs.
// The versions take null strings as empty, and hand what their short path
// does not take to the long way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/bits.h"
#include "scan/cpu_features.h"
#include "scan/short_text.h"

namespace vellum {

// The long ways; none takes a null string. Out of line, so that the short
// paths keep to the registers.
int32_t FirstMatchLong(const char* text, const char* pattern);
int32_t LastMatchLong(const char* text, const char* pattern);
int32_t MatchCountLong(const char* text, const char* pattern);
int32_t FirstOfSetLong(const char* from, const char* set);

// What each search answers from the `matches` of a pattern of
// `pattern_size` bytes in a short text, and its long way.
struct FirstMatchAnswer {  // INSTR: the first match's position, or 0
  static int32_t Of(uint32_t matches, size_t) {
    return matches != 0 ? static_cast<int32_t>(LowestBit(matches)) + 1 : 0;
  }
  static int32_t Long(const char* text, const char* pattern) {
    return FirstMatchLong(text, pattern);
  }
};

struct LastMatchAnswer {  // LAST INSTR: the last match's position, or 0
  static int32_t Of(uint32_t matches, size_t) {
    return matches != 0 ? static_cast<int32_t>(HighestBit(matches)) + 1 : 0;
  }
  static int32_t Long(const char* text, const char* pattern) {
    return LastMatchLong(text, pattern);
  }
};

struct MatchCountAnswer {  // STRING COUNT: the matches a walk takes
  static int32_t Of(uint32_t matches, size_t pattern_size) {
    return static_cast<int32_t>(short_text::WalkedCount(matches, pattern_size));
  }
  static int32_t Long(const char* text, const char* pattern) {
    return MatchCountLong(text, pattern);
  }
};

// The AVX2 versions, made for the three answers in short_search_avx2.cc.
template <class Answer>
int32_t AnswerAvx2(const char* text, const char* pattern);
int32_t FirstOfSetAvx2(const char* from, const char* set);

template <class Answer>
VELLUM_NOINLINE int32_t AnswerSse2(const char* text, const char* pattern) {
  if (text == nullptr || pattern == nullptr) return 0;
  short_text::ShortSearch found;
  if (!short_text::FindMatches(text, pattern, &found)) {
    return Answer::Long(text, pattern);
  }
  return Answer::Of(found.matches, found.pattern_size);
}

// The search of `pattern` in `text` whose answer Answer gives.
template <class Answer>
int32_t ShortSearch(const char* text, const char* pattern) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return AnswerAvx2<Answer>(text, pattern);
  }
  return AnswerSse2<Answer>(text, pattern);
}

}  // namespace vellum
