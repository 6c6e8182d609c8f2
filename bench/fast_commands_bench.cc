// FAST LEN against strlen and against the module's own length scan; the
// copying fast commands against alloc+copy;
// FAST LEFT$ of a short prefix of a long string against the same prefix of a
// string no longer than the prefix.
#include <cstring>

#include "bench/bench_support.h"
#include "commands/chars/fast_commands.h"
#include "scan/byte_scan.h"

namespace vellum::bench {
namespace {

void BM_strlen(State& state) {
  TimeCalls(state, Prose1MiB().c_str(),
            [](const char* text) { return std::strlen(text); });
}
BENCHMARK(BM_strlen);

void BM_StringLength(State& state) {
  TimeCalls(state, Prose1MiB().c_str(),
            [](const char* text) { return StringLength(text); });
}
BENCHMARK(BM_StringLength);

// The bounded scans, with a bound just short of the length.
void BM_strnlen(State& state) {
  TimeCalls(state, Prose1MiB().c_str(),
            [](const char* text) { return strnlen(text, kMiB - 1); });
}
BENCHMARK(BM_strnlen);

void BM_BoundedLength(State& state) {
  TimeCalls(state, Prose1MiB().c_str(),
            [](const char* text) { return BoundedLength(text, kMiB - 1); });
}
BENCHMARK(BM_BoundedLength)->AgainstRuntime("BM_strnlen", 1.2);

void BM_FastLen(State& state) {
  TimeCalls(state, Prose1MiB().c_str(),
            [](const char* text) { return FastLen(text); });
}
BENCHMARK(BM_FastLen)
    ->AgainstRuntime("BM_strlen", 1.2)
    ->Against("BM_StringLength", 1.1);

void BM_AllocCopy_1MiB(State& state) { AllocCopy(state, Prose1MiB()); }
BENCHMARK(BM_AllocCopy_1MiB);

template <HostString (*Command)(HostString, const char*)>
void BM_Case(State& state) {
  InstallAuditedHost();
  for (auto _ : state) Release(Command(nullptr, Prose1MiB().c_str()));
}
BENCHMARK(BM_Case<FastUpper>)
    ->Name("BM_FastUpper")
    ->Against("BM_AllocCopy_1MiB", 1.5)
    ->Against("BM_Floor_Scan1MiB", 1.1);
BENCHMARK(BM_Case<FastLower>)
    ->Name("BM_FastLower")
    ->Against("BM_AllocCopy_1MiB", 1.5)
    ->Against("BM_Floor_Scan1MiB", 1.1);

void BM_FastRight(State& state) {
  InstallAuditedHost();
  for (auto _ : state) Release(FastRight(nullptr, Prose1MiB().c_str(), kMiB));
}
BENCHMARK(BM_FastRight)
    ->Against("BM_AllocCopy_1MiB", 1.2)
    ->Against("BM_Floor_Scan1MiB", 1.1);

void BM_FastLeft8_short(State& state) {
  InstallAuditedHost();
  const std::string source(8, 'x');
  for (auto _ : state) Release(FastLeft(nullptr, source.c_str(), 8));
}
BENCHMARK(BM_FastLeft8_short);

void BM_FastLeft8_long(State& state) {
  InstallAuditedHost();
  const std::string source(kMiB, 'x');
  for (auto _ : state) Release(FastLeft(nullptr, source.c_str(), 8));
}
BENCHMARK(BM_FastLeft8_long)->Against("BM_FastLeft8_short", 1.5);

}  // namespace
}  // namespace vellum::bench
