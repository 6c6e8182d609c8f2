#include <cstddef>
#include <cstdint>

#include "scan/avx2_blocks.h"
#include "scan/search/bit_offsets.h"
#include "scan/search/candidate_starts.h"
#include "scan/search/start_filter.h"
#include "scan/target_region.h"

VELLUM_TARGET_REGION("avx2,popcnt")

#include "scan/search/start_filter_walk.h"

namespace vellum {

size_t CountCandidatesAvx2(const StartFilter& filter, size_t from) {
  return CountCandidatesWith<Avx2Vector>(filter, from);
}

size_t CollectCandidatesAvx2(const StartFilter& filter, size_t* scan,
                             size_t enough, size_t* out) {
  return CollectCandidatesWith<Avx2Vector>(filter, scan, enough, out);
}

}  // namespace vellum

VELLUM_UNTARGET_REGION
