#include "bench/harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <set>
#include <string>

namespace vellum::bench {
namespace {

// Natively a round is timed by the thread's CPU time, which time slices
// given to other programs do not inflate. Under Wine that clock ticks too
// coarsely for short rounds, so the Windows build reads the wall clock.
#if defined(_WIN32)
int64_t Now() {
  return std::chrono::steady_clock::now().time_since_epoch() /
         std::chrono::nanoseconds(1);
}
#else
int64_t Now() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}
#endif

double ToSeconds(int64_t nanoseconds) {
  return static_cast<double>(nanoseconds) * 1e-9;
}

std::vector<Benchmark*>& Registry() {
  static auto* benchmarks = new std::vector<Benchmark*>;
  return *benchmarks;
}

// A ratio owns the samples it divides: both sides are timed in the same
// alternating rounds, whatever other ratios time the same cases.
struct Ratio {
  std::string command;
  std::string anchor;
  double target;
  std::vector<double> command_seconds;
  std::vector<double> anchor_seconds;
};

std::vector<Ratio>& Ratios() {
  static auto* ratios = new std::vector<Ratio>;
  return *ratios;
}

struct Options {
  std::regex filter{""};
  double round_seconds = 0.02;  // the least time one round runs
  int rounds = 7;               // rounds per benchmark, an odd number
};

// One runnable case: a benchmark with one of its arguments.
struct Case {
  std::string name;
  BenchmarkFn fn;
  int64_t argument;
  int64_t iterations = 0;  // per round, once calibrated
  // Every round's time, for the table of cases.
  std::vector<double> seconds_per_iteration;
  std::map<std::string, double> counters;
};

double RunRound(Case& c, int64_t iterations) {
  State state(c.argument, iterations);
  c.fn(state);
  c.counters = state.counters;
  return state.seconds();
}

// Finds the iteration count for rounds of about `round_seconds`, after a
// first round that warms the caches and builds the benchmark's inputs.
void Calibrate(Case& c, const Options& options) {
  RunRound(c, 1);
  int64_t iterations = 1;
  for (;;) {
    double seconds = RunRound(c, iterations);
    if (seconds >= options.round_seconds / 4 ||
        iterations >= (int64_t{1} << 40)) {
      double wanted = options.round_seconds / std::max(seconds, 1e-9);
      c.iterations = std::max<int64_t>(
          1, static_cast<int64_t>(static_cast<double>(iterations) * wanted));
      return;
    }
    iterations *= 10;
  }
}

double TimeRound(Case& c) {
  double seconds =
      RunRound(c, c.iterations) / static_cast<double>(c.iterations);
  c.seconds_per_iteration.push_back(seconds);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Every case the registry holds, by name.
std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const Benchmark* benchmark : Registry()) {
    std::vector<int64_t> arguments = benchmark->arguments();
    bool has_arguments = !arguments.empty();
    if (!has_arguments) arguments.push_back(0);
    for (int64_t argument : arguments) {
      std::string name =
          has_arguments ? benchmark->CaseName(argument) : benchmark->name();
      cases.push_back({name, benchmark->fn(), argument, 0, {}, {}});
    }
  }
  return cases;
}

Case* Find(std::vector<Case>& cases, const std::string& name) {
  auto it = std::find_if(cases.begin(), cases.end(),
                         [&](const Case& c) { return c.name == name; });
  return it == cases.end() ? nullptr : &*it;
}

// A ratio that names a case nobody registered is a typing error that would
// otherwise drop the ratio from the table without a word.
bool CheckRatioNames(std::vector<Case>& cases) {
  bool known = true;
  for (const Ratio& ratio : Ratios()) {
    for (const std::string* name : {&ratio.command, &ratio.anchor}) {
      if (Find(cases, *name) == nullptr) {
        std::fprintf(stderr, "unknown benchmark %s in the ratio %s / %s\n",
                     name->c_str(), ratio.command.c_str(),
                     ratio.anchor.c_str());
        known = false;
      }
    }
  }
  return known;
}

// The cases whose names the filter matches, and the anchors of their ratios,
// so that a filter naming a command still prints its ratios.
std::vector<Case> SelectedCases(std::vector<Case> cases,
                                const Options& options) {
  std::set<std::string> wanted;
  for (const Case& c : cases) {
    if (std::regex_search(c.name, options.filter)) wanted.insert(c.name);
  }
  for (const Ratio& ratio : Ratios()) {
    if (wanted.count(ratio.command) != 0) wanted.insert(ratio.anchor);
  }
  std::vector<Case> chosen;
  for (Case& c : cases) {
    if (wanted.count(c.name) != 0) chosen.push_back(std::move(c));
  }
  return chosen;
}

// Times every case: the two sides of each ratio in alternating rounds, kept
// with the ratio, and each case that no ratio timed on its own.
void TimeCases(std::vector<Case>& cases, const Options& options) {
  for (Case& c : cases) Calibrate(c, options);
  for (Ratio& ratio : Ratios()) {
    Case* command = Find(cases, ratio.command);
    Case* anchor = Find(cases, ratio.anchor);
    if (command == nullptr || anchor == nullptr) continue;
    for (int round = 0; round < options.rounds; ++round) {
      ratio.command_seconds.push_back(TimeRound(*command));
      ratio.anchor_seconds.push_back(TimeRound(*anchor));
    }
  }
  for (Case& c : cases) {
    if (!c.seconds_per_iteration.empty()) continue;
    for (int round = 0; round < options.rounds; ++round) TimeRound(c);
  }
}

void PrintCases(const std::vector<Case>& cases) {
  std::printf("%-58s %14s %12s\n", "benchmark (median of rounds)", "time",
              "iterations");
  for (const Case& c : cases) {
    std::printf("%-58s %11.0f ns %12lld", c.name.c_str(),
                Median(c.seconds_per_iteration) * 1e9,
                static_cast<long long>(c.iterations));
    for (const auto& [key, value] : c.counters) {
      std::printf(" %s=%g", key.c_str(), value);
    }
    std::printf("\n");
  }
}

void PrintRatios() {
  std::printf("\n%-58s %8s %8s\n", "ratio (command / anchor, same rounds)",
              "measured", "target");
  for (const Ratio& ratio : Ratios()) {
    if (ratio.command_seconds.empty()) continue;
    double measured =
        Median(ratio.command_seconds) / Median(ratio.anchor_seconds);
    std::printf("%-58s %8.2f %8.2f %s\n",
                (ratio.command + " / " + ratio.anchor).c_str(), measured,
                ratio.target, measured <= ratio.target ? "ok" : "OVER");
  }
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* flag) -> const char* {
      size_t size = std::char_traits<char>::length(flag);
      return arg.compare(0, size, flag) == 0 ? argv[i] + size : nullptr;
    };
    if (const char* filter = value("--filter=")) {
      options.filter = std::regex(filter);
    } else if (const char* seconds = value("--round_seconds=")) {
      options.round_seconds = std::atof(seconds);
    } else if (const char* rounds = value("--rounds=")) {
      options.rounds = std::max(1, std::atoi(rounds)) | 1;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--filter=REGEX] [--round_seconds=S] "
                   "[--rounds=N]\n",
                   argv[0]);
      return false;
    }
  }
  return true;
}

}  // namespace

State::Iterator State::begin() {
  started_ = Now();
  return {this, iterations_};
}

void State::StopClock() { seconds_ = ToSeconds(Now() - started_); }

Benchmark* RegisterBenchmark(const std::string& name, BenchmarkFn fn) {
  Registry().push_back(new Benchmark(name, std::move(fn)));
  return Registry().back();
}

Benchmark* Benchmark::Against(const std::string& anchor, double target) {
  Ratios().push_back({name_, anchor, target, {}, {}});
  return this;
}

Benchmark* Benchmark::AgainstRuntime(const std::string& anchor, double target) {
#if defined(_WIN32)
  (void)anchor, (void)target;
  return this;
#else
  return Against(anchor, target);
#endif
}

Benchmark* Benchmark::Grows(double target) {
  Ratios().push_back({CaseName(arguments_.back()),
                      CaseName(arguments_.front()),
                      target,
                      {},
                      {}});
  return this;
}

}  // namespace vellum::bench

int main(int argc, char** argv) {
  using namespace vellum::bench;
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  std::vector<Case> all = AllCases();
  if (!CheckRatioNames(all)) return 2;
  std::vector<Case> cases = SelectedCases(std::move(all), options);
  TimeCases(cases, options);
  PrintCases(cases);
  PrintRatios();
  return 0;
}
