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

const std::string& Text() {
  static const std::string text = EnglishText(kMiB);
  return text;
}

void BM_strlen(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(std::strlen(text));
  }
}

void BM_StringLength(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(StringLength(text));
  }
}

// The bounded scans, with a bound just short of the length.
void BM_strnlen(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(strnlen(text, kMiB - 1));
  }
}

void BM_BoundedLength(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(BoundedLength(text, kMiB - 1));
  }
}

void BM_FastLen(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(FastLen(text));
  }
}

void BM_AllocCopy_1MiB(State& state) { AllocCopy(state, Text()); }

template <HostString (*Command)(HostString, const char*)>
void BM_Case(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(Command(nullptr, Text().c_str()));
}

void BM_FastRight(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(FastRight(nullptr, Text().c_str(), kMiB));
}


void BM_FastLeft8_short(State& state) {
  InstallFakeCore();
  const std::string source(8, 'x');
  for (auto _ : state) Release(FastLeft(nullptr, source.c_str(), 8));
}

void BM_FastLeft8_long(State& state) {
  InstallFakeCore();
  const std::string source(kMiB, 'x');
  for (auto _ : state) Release(FastLeft(nullptr, source.c_str(), 8));
}

BENCHMARK(BM_strlen);
BENCHMARK(BM_StringLength);
BENCHMARK(BM_strnlen);
BENCHMARK(BM_BoundedLength);
BENCHMARK(BM_FastLen);
BENCHMARK(BM_AllocCopy_1MiB);
BENCHMARK(BM_Case<FastUpper>)->Name("BM_FastUpper");
BENCHMARK(BM_Case<FastLower>)->Name("BM_FastLower");
BENCHMARK(BM_FastRight);
BENCHMARK(BM_FastLeft8_short);
BENCHMARK(BM_FastLeft8_long);

const int kRatios[] = {
    AddRatioToRuntime("BM_FastLen", "BM_strlen", 1.2),
    AddRatio("BM_FastLen", "BM_StringLength", 1.1),
    AddRatioToRuntime("BM_BoundedLength", "BM_strnlen", 1.2),
    AddRatio("BM_FastUpper", "BM_AllocCopy_1MiB", 1.5),
    AddRatio("BM_FastLower", "BM_AllocCopy_1MiB", 1.5),
    AddRatio("BM_FastRight", "BM_AllocCopy_1MiB", 1.2),
    AddRatio("BM_FastLeft8_long", "BM_FastLeft8_short", 1.5),
};

}  // namespace
}  // namespace vellum::bench
