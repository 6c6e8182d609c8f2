// Which versions of the scans a test may call by name: those this build
// holds and this processor runs. A test names a version above SSE2 only
// inside `if constexpr (kBuiltIsa >= ...)`, so that a build capped below
// it, which holds no such version, still links.
#pragma once

#include "scan/cpu_features.h"

namespace vellum {

inline bool RunsHere(Isa isa) {
  return isa <= kBuiltIsa && isa <= OfferedIsa();
}

}  // namespace vellum
