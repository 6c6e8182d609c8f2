// Shared pieces of the benchmark program: the host the commands run against,
// the alloc+copy and length scan + alloc+copy anchors, and the text they
// work on.
#pragma once

#include <string>

#include "bench/harness.h"
#include "fake_core/install_fake_core.h"
#include "host/core_interface.h"

namespace vellum::bench {

// Gives a command's result back to the host allocator.
void Release(HostString result);

// The least any copying command must do for a result of `bytes`: one host
// allocation of that size plus the NUL, a memcpy of the bytes, a release.
void AllocCopy(State& state, const std::string& bytes);

// The floor of a command that measures its source and then makes an exact
// result: the module's own length scan over the first `measured` bytes of
// `source` (all of them when `measured` is its size), then one host
// allocation of `result_size` bytes plus the NUL, filled from `source` (and
// with blanks past its end), and a release.
void LengthScanAllocCopy(State& state, const std::string& source,
                         size_t measured, size_t result_size);

// Text that reads like English prose, `size` bytes long, without NULs.
std::string EnglishText(size_t size);

// 1 MiB of that text, made once: what most benchmarks work on.
const std::string& Prose1MiB();

// The set of blanks that the TRIM$ benchmarks strip, and 1 MiB of English
// text between 1,000 bytes of them at each end.
inline constexpr char kBlanks[] = " \t\r\n";
const std::string& BlankFramedText();

inline constexpr size_t kMiB = 1 << 20;
inline constexpr size_t kKiB = 1 << 10;

}  // namespace vellum::bench
