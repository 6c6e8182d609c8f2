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

// Sets the dispatchers' choice for the life of the object, then restores
// it, so that a test can run every version its build holds and its
// processor runs.
class ChoiceSetTo {
 public:
  explicit ChoiceSetTo(Isa isa) : saved_(dispatch::chosen) {
    dispatch::chosen = isa;
  }
  ~ChoiceSetTo() { dispatch::chosen = saved_; }
  ChoiceSetTo(const ChoiceSetTo&) = delete;
  ChoiceSetTo& operator=(const ChoiceSetTo&) = delete;

 private:
  Isa saved_;
};

}  // namespace vellum
