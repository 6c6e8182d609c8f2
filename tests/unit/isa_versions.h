// Which versions of the scans a test may call by name: those this build
// holds and this processor runs. A test names a version above SSE2 only
// inside `if constexpr (kBuiltIsa >= ...)`, so that a build capped below
// it, which holds no such version, still links.
#pragma once

#include <vector>

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

template <class Fn>
struct Version {
  const char* name;
  Fn fn;
};

template <class Fn>
using Versions = std::vector<Version<Fn>>;

// A family's dispatcher, its SSE2 version, and its version for `kWider`
// where this build holds it and this processor runs it. `wider` returns
// that version: only a build that holds it calls `wider`, so a capped build
// never names it and still links.
template <Isa kWider, class Fn, class Wider>
Versions<Fn> VersionsOf(Fn dispatcher, Fn sse2, const char* wider_name,
                        Wider wider) {
  Versions<Fn> versions = {{"dispatcher", dispatcher}, {"sse2", sse2}};
  if constexpr (kBuiltIsa >= kWider) {
    if (RunsHere(kWider)) versions.push_back({wider_name, wider()});
  }
  return versions;
}

}  // namespace vellum
