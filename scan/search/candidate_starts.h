// Collecting, ahead of the full compares, the starts that pass the start
// filter of the forward substring search.
#pragma once

#include <cstddef>

#include "scan/search/start_filter.h"

namespace vellum {

// Blocks of this many starts are tested together.
inline constexpr size_t kStartBlock = 128;

// The room `out` needs past `enough` entries: one more block's passing
// starts, and the two scratch entries a block may write past them.
inline constexpr size_t kCollectSlack = kStartBlock + 2;

// Appends to `out` the passing starts from `*scan` on, in order, a block at
// a time, until at least `enough` are stored or no start is left; returns
// how many, and moves `*scan` past the starts examined. The SSE2 and AVX2
// versions below give the same answers; this one chooses between them.
size_t CollectCandidates(const StartFilter& filter, size_t* scan, size_t enough,
                         size_t* out);
using CollectCandidatesFn = size_t (*)(const StartFilter& filter, size_t* scan,
                                       size_t enough, size_t* out);
size_t CollectCandidatesSse2(const StartFilter& filter, size_t* scan,
                             size_t enough, size_t* out);
// Only where ChosenIsa() is AVX2, in a build that holds AVX2 code.
size_t CollectCandidatesAvx2(const StartFilter& filter, size_t* scan,
                             size_t enough, size_t* out);

// The number of passing starts from `from` on. Where no two passing starts
// can belong to overlapping matches and passing is matching, as for 'the',
// this is the number of matches, counted without listing them.
size_t CountCandidates(const StartFilter& filter, size_t from);
using CountCandidatesFn = size_t (*)(const StartFilter& filter, size_t from);
size_t CountCandidatesSse2(const StartFilter& filter, size_t from);
size_t CountCandidatesAvx2(const StartFilter& filter, size_t from);

// The starts from `from` to the filter's last start, fewer than a block,
// one at a time; shared by both versions for the end of the text.
size_t CollectFewCandidates(const StartFilter& filter, size_t from,
                            size_t* out);
size_t CountFewCandidates(const StartFilter& filter, size_t from);

}  // namespace vellum
