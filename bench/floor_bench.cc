// The floors of the copying commands: the module's own length scan over what
// a command must measure, then alloc+copy of its result. A command needs
// both, so its ratio to its floor is what its own work adds on top. The
// commands that are measured for other ratios too name their floor beside
// their own benchmark; the two measured only against a floor are here.
#include <string>

#include "bench/bench_support.h"
#include "commands/chars/fast_commands.h"
#include "commands/edit/pad.h"

namespace vellum::bench {
namespace {

void BM_Floor_Scan1MiB(State& state) {
  LengthScanAllocCopy(state, Prose1MiB(), kMiB, kMiB);
}
BENCHMARK(BM_Floor_Scan1MiB);

void BM_Floor_FastLeft1MiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) Release(FastLeft(nullptr, Prose1MiB().c_str(), kMiB));
}
BENCHMARK(BM_Floor_FastLeft1MiB)->Against("BM_Floor_BoundedScan1MiB", 1.1);

// Measured with a bound, as FAST LEFT$ does.
void BM_Floor_BoundedScan1MiB(State& state) {
  LengthScanAllocCopy(state, Prose1MiB(), kMiB - 1, kMiB);
}
BENCHMARK(BM_Floor_BoundedScan1MiB);

// MID$ of the middle half is measured as far as the section's end.
void BM_Floor_BoundedScan768KiB(State& state) {
  LengthScanAllocCopy(state, Prose1MiB(), 3 * kMiB / 4, kMiB / 2);
}
BENCHMARK(BM_Floor_BoundedScan768KiB);

void BM_Floor_ScanTrimmed(State& state) {
  LengthScanAllocCopy(state, BlankFramedText(), kMiB, kMiB - 2000);
}
BENCHMARK(BM_Floor_ScanTrimmed);

// PADLEFT$ of 1 MiB less 1,000 bytes to 1 MiB.
const std::string& ShortText() {
  static const std::string text = EnglishText(kMiB - 1000);
  return text;
}

void BM_Floor_PadLeft1MiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) Release(PadLeft(nullptr, ShortText().c_str(), kMiB));
}
BENCHMARK(BM_Floor_PadLeft1MiB)->Against("BM_Floor_ScanPadded", 1.1);

void BM_Floor_ScanPadded(State& state) {
  LengthScanAllocCopy(state, ShortText(), ShortText().size(), kMiB);
}
BENCHMARK(BM_Floor_ScanPadded);

}  // namespace
}  // namespace vellum::bench
