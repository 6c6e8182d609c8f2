#include "bench/bench_support.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "fake_core/fake_core.h"
#include "host/platform_stub.h"

namespace vellum::bench {
namespace {

struct Ratio {
  std::string command;
  std::string anchor;
  double target;
};

std::vector<Ratio>& Ratios() {
  static auto* ratios = new std::vector<Ratio>;
  return *ratios;
}

HostGlobals& Globals() {
  return *reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr());
}

// Keeps each benchmark's best CPU time per iteration over its repetitions
// while the console shows the runs as usual. CPU time and the best of
// several runs keep the ratios steady on a machine that is doing other work.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      double time = run.GetAdjustedCPUTime();
      auto [it, added] = times.emplace(run.run_name.str(), time);
      if (!added && time < it->second) it->second = time;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

void UseFakeCore() {
  platform::stub::InstallLibrary(
      kCoreLibraryName,
      {{kGetGlobPtrExport, reinterpret_cast<void*>(FakeCoreGetGlobPtr)}});
}

void Release(HostString result) {
  if (result != nullptr) Globals().host_string_fn(&result, 0);
}

void AllocCopy(benchmark::State& state, const std::string& bytes) {
  UseFakeCore();
  for (auto _ : state) {
    HostString copy = nullptr;
    Globals().host_string_fn(&copy, static_cast<int32_t>(bytes.size() + 1));
    std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    benchmark::DoNotOptimize(copy);
    Release(copy);
  }
}

int AddRatio(const std::string& command, const std::string& anchor,
             double target) {
  Ratios().push_back({command, anchor, target});
  return 0;
}

std::string EnglishText(size_t size) {
  static const char* const kWords[] = {
      "the",   "quick", "brown",  "fox",    "jumps", "over",  "lazy",
      "dog",   "and",   "a",      "string", "with",  "many",  "words",
      "of",    "some",  "length", "which",  "reads", "like",  "prose",
      "while", "being", "plain",  "text",   "for",   "search"};
  std::string text;
  uint32_t state = 12345;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % (sizeof kWords / sizeof *kWords)];
    text += (state >> 8) % 11 == 0 ? ". " : " ";
  }
  text.resize(size);
  return text;
}

}  // namespace vellum::bench

int main(int argc, char** argv) {
  using vellum::bench::Ratios;
  benchmark::Initialize(&argc, argv);
  vellum::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-58s %8s %8s\n", "ratio (command / anchor, same run)",
              "measured", "target");
  for (const auto& ratio : Ratios()) {
    auto command = reporter.times.find(ratio.command);
    auto anchor = reporter.times.find(ratio.anchor);
    if (command == reporter.times.end() || anchor == reporter.times.end()) {
      continue;  // filtered out of this run
    }
    double measured = command->second / anchor->second;
    bool ok = measured <= ratio.target;
    std::printf("%-58s %8.2f %8.2f %s\n",
                (ratio.command + " / " + ratio.anchor).c_str(), measured,
                ratio.target, ok ? "ok" : "OVER");
  }
  benchmark::Shutdown();
  return 0;
}
