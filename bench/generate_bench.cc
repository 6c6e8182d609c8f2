// GENERATE STRING$ of 1 MiB from the 62 digits and letters against the same
// host string filled with std::mt19937 and std::uniform_int_distribution.
#include <random>

#include "bench/bench_support.h"
#include "commands/generate/generate_string.h"
#include "fake_core/fake_core.h"

namespace vellum::bench {
namespace {

constexpr char kAlphabet[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

void BM_StdMt19937Fill_1MiB(State& state) {
  InstallAuditedHost();
  auto& globals = *reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr());
  std::mt19937 generator(5489);
  std::uniform_int_distribution<int> index(0, 61);
  for (auto _ : state) {
    HostString text = nullptr;
    globals.host_string_fn(&text, static_cast<int32_t>(kMiB + 1));
    for (size_t k = 0; k < kMiB; ++k) text[k] = kAlphabet[index(generator)];
    text[kMiB] = '\0';
    DoNotOptimize(text);
    Release(text);
  }
}
BENCHMARK(BM_StdMt19937Fill_1MiB);

void BM_GenerateString_1MiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) {
    Release(GenerateSequence(nullptr, static_cast<int32_t>(kMiB)));
  }
}
BENCHMARK(BM_GenerateString_1MiB)->Against("BM_StdMt19937Fill_1MiB", 0.7);

}  // namespace
}  // namespace vellum::bench
