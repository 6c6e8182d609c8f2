// Shared pieces of the benchmark program: the host the commands run against,
// the alloc+copy anchor and the text they work on.
#pragma once

#include <string>

#include "bench/harness.h"
#include "host/core_interface.h"

namespace vellum::bench {

// Installs the fake core as the core library; every benchmark calls it first.
void UseFakeCore();

// Gives a command's result back to the host allocator.
void Release(HostString result);

// The least any copying command must do for a result of `bytes`: one host
// allocation of that size plus the NUL, a memcpy of the bytes, a release.
void AllocCopy(State& state, const std::string& bytes);

// Text that reads like English prose, `size` bytes long, without NULs.
std::string EnglishText(size_t size);

inline constexpr size_t kMiB = 1 << 20;
inline constexpr size_t kKiB = 1 << 10;

}  // namespace vellum::bench
