// Shared pieces of the benchmark program: the host the commands run against,
// the alloc+copy and length scan + alloc+copy anchors, and the text they
// work on.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <string>

#include "bench/harness.h"
#include "fake_core/install_fake_core.h"
#include "host/core_interface.h"
#include "scan/bits.h"

namespace vellum::bench {

// The fake core with its own allocator, which audits every call: it keeps a
// map of the live strings and fills each new block. The rows of long strings
// run against it.
void InstallAuditedHost();

// The fake core with the allocator the runtime has: a heap block per string
// and nothing more. The audit alone costs more than a command on a short
// string, so the rows of short calls run against this one.
void InstallPlainHost();

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

// The length of a string as the cheapest scan finds it: aligned 16-byte
// blocks from the one that holds its first byte, inline. The floors of the
// short calls measure their arguments with it, so that no dispatch or call
// of the module's own scans is part of a floor.
inline size_t FloorLength(const char* text) {
  const auto misalignment = reinterpret_cast<uintptr_t>(text) & 15;
  const auto* block = reinterpret_cast<const __m128i*>(text - misalignment);
  const __m128i zero = _mm_setzero_si128();
  uint32_t nuls = static_cast<uint32_t>(_mm_movemask_epi8(
                      _mm_cmpeq_epi8(_mm_load_si128(block), zero))) >>
                  misalignment;
  if (nuls != 0) return LowestBit(nuls);
  for (;;) {
    ++block;
    nuls = static_cast<uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_load_si128(block), zero)));
    if (nuls != 0) {
      return static_cast<size_t>(reinterpret_cast<const char*>(block) - text) +
             LowestBit(nuls);
    }
  }
}

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
