// What choosing a scan's version costs a call: FAST LEN of a short string,
// whose scan takes a few nanoseconds, against the version that the
// dispatcher chooses here, called through a pointer taken once. FAST LEN of
// the null string, which scans nothing, shows the cost of the call alone.
#include "bench/bench_support.h"
#include "commands/chars/fast_commands.h"
#include "scan/byte_scan.h"
#include "scan/cpu_features.h"

namespace vellum::bench {
namespace {

const char kShort[] = "twenty bytes of text";

using LengthFn = size_t (*)(const char*);

// The version StringLength runs on this processor in this build.
LengthFn ChosenLengthVersion() {
  if constexpr (kBuiltIsa >= Isa::kAvx2) {
    if (ChosenIsa() == Isa::kAvx2) return StringLengthAvx2;
  }
  return StringLengthSse2;
}

void BM_FastLen20(State& state) {
  TimeCalls(state, kShort, [](const char* text) { return FastLen(text); });
}
// FAST LEN adds its own call and its null test to the choice.
BENCHMARK(BM_FastLen20)->Against("BM_Floor_LengthVersion20", 1.3);

void BM_Floor_LengthVersion20(State& state) {
  LengthFn length = ChosenLengthVersion();
  DoNotOptimize(length);
  TimeCalls(state, kShort, [length](const char* text) { return length(text); });
}
BENCHMARK(BM_Floor_LengthVersion20);

// The call alone: the null string is measured as empty without a scan.
void BM_FastLenNull(State& state) {
  TimeCalls(state, nullptr, [](const char* text) { return FastLen(text); });
}
BENCHMARK(BM_FastLenNull);

}  // namespace
}  // namespace vellum::bench
