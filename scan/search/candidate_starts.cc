#include "scan/search/candidate_starts.h"

#include "scan/cpu_features.h"
#include "scan/search/start_filter_walk.h"
#include "scan/sse2_blocks.h"

namespace vellum {

size_t CollectFewCandidates(const StartFilter& filter, size_t from,
                            size_t* out) {
  size_t count = 0;
  for (size_t at = from; at <= filter.last_start; ++at) {
    if (filter.Passes(at)) out[count++] = at;
  }
  return count;
}

size_t CountFewCandidates(const StartFilter& filter, size_t from) {
  size_t count = 0;
  for (size_t at = from; at <= filter.last_start; ++at) {
    count += filter.Passes(at);
  }
  return count;
}

VELLUM_NOINLINE size_t CountCandidatesSse2(const StartFilter& filter,
                                           size_t from) {
  return CountCandidatesWith<Sse2Vector>(filter, from);
}

VELLUM_NOINLINE size_t CollectCandidatesSse2(const StartFilter& filter,
                                             size_t* scan, size_t enough,
                                             size_t* out) {
  return CollectCandidatesWith<Sse2Vector>(filter, scan, enough, out);
}

size_t CollectCandidates(const StartFilter& filter, size_t* scan, size_t enough,
                         size_t* out) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) {
      return CollectCandidatesAvx2(filter, scan, enough, out);
    }
  }
  return CollectCandidatesSse2(filter, scan, enough, out);
}

size_t CountCandidates(const StartFilter& filter, size_t from) {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return CountCandidatesAvx2(filter, from);
  }
  return CountCandidatesSse2(filter, from);
}

}  // namespace vellum
