// The copying commands against their floor: the module's own length scan
// over what the command must measure, then alloc+copy of its result. A
// command needs both, so the ratio is what its own work adds on top.
#include <string>

#include "bench/bench_support.h"
#include "commands/chars/fast_commands.h"
#include "commands/edit/pad.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"

namespace vellum::bench {
namespace {

const std::string& Text() {
  static const std::string text = EnglishText(kMiB);
  return text;
}

void BM_Floor_Scan1MiB(State& state) {
  LengthScanAllocCopy(state, Text(), kMiB, kMiB);
}

void BM_Floor_FastLeft1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(FastLeft(nullptr, Text().c_str(), kMiB));
}

// Measured with a bound, as FAST LEFT$ does.
void BM_Floor_BoundedScan1MiB(State& state) {
  LengthScanAllocCopy(state, Text(), kMiB - 1, kMiB);
}

void BM_Floor_FastRight1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(FastRight(nullptr, Text().c_str(), kMiB));
}

template <HostString (*Command)(HostString, const char*)>
void BM_Floor_Case(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(Command(nullptr, Text().c_str()));
}

// MID$ of the middle half: measured as far as the section's end.
void BM_Floor_Mid512KiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(Mid(nullptr, Text().c_str(), kMiB / 4 + 1, kMiB / 2));
  }
}

void BM_Floor_BoundedScan768KiB(State& state) {
  LengthScanAllocCopy(state, Text(), 3 * kMiB / 4, kMiB / 2);
}

// TRIM$ with a four-byte set, 1,000 bytes of it at each end of 1 MiB.
void BM_Floor_TrimChar1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(TrimChar(nullptr, BlankFramedText().c_str(), kBlanks));
  }
}

void BM_Floor_ScanTrimmed(State& state) {
  LengthScanAllocCopy(state, BlankFramedText(), kMiB, kMiB - 2000);
}

// PADLEFT$ of 1 MiB less 1,000 bytes to 1 MiB.
const std::string& ShortText() {
  static const std::string text = EnglishText(kMiB - 1000);
  return text;
}

void BM_Floor_PadLeft1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(PadLeft(nullptr, ShortText().c_str(), kMiB));
}

void BM_Floor_ScanPadded(State& state) {
  LengthScanAllocCopy(state, ShortText(), ShortText().size(), kMiB);
}

BENCHMARK(BM_Floor_Scan1MiB);
BENCHMARK(BM_Floor_BoundedScan1MiB);
BENCHMARK(BM_Floor_FastLeft1MiB);
BENCHMARK(BM_Floor_FastRight1MiB);
BENCHMARK(BM_Floor_Case<FastUpper>)->Name("BM_Floor_FastUpper1MiB");
BENCHMARK(BM_Floor_Case<FastLower>)->Name("BM_Floor_FastLower1MiB");
BENCHMARK(BM_Floor_Mid512KiB);
BENCHMARK(BM_Floor_BoundedScan768KiB);
BENCHMARK(BM_Floor_TrimChar1MiB);
BENCHMARK(BM_Floor_ScanTrimmed);
BENCHMARK(BM_Floor_PadLeft1MiB);
BENCHMARK(BM_Floor_ScanPadded);

const int kRatios[] = {
    AddRatio("BM_Floor_FastLeft1MiB", "BM_Floor_BoundedScan1MiB", 1.1),
    AddRatio("BM_Floor_FastRight1MiB", "BM_Floor_Scan1MiB", 1.1),
    AddRatio("BM_Floor_FastUpper1MiB", "BM_Floor_Scan1MiB", 1.1),
    AddRatio("BM_Floor_FastLower1MiB", "BM_Floor_Scan1MiB", 1.1),
    AddRatio("BM_Floor_Mid512KiB", "BM_Floor_BoundedScan768KiB", 1.1),
    AddRatio("BM_Floor_TrimChar1MiB", "BM_Floor_ScanTrimmed", 1.1),
    AddRatio("BM_Floor_PadLeft1MiB", "BM_Floor_ScanPadded", 1.1),
};

}  // namespace
}  // namespace vellum::bench
