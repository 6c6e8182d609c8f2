// The benchmark program's own harness, the same in the native build and in
// the Windows build that runs under Wine: benchmarks are registered by name,
// each is timed in rounds of a calibrated number of iterations, and a ratio
// is the median of rounds that alternate between the command and its
// anchor, so that a machine busy with other work slows both alike.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vellum::bench {

// What a benchmark sees: its argument and the iteration loop
//   for (auto _ : state) { ... }
// whose body runs as many times as the round asks; only the loop is timed.
class State {
 public:
  State(int64_t argument, int64_t iterations)
      : argument_(argument), iterations_(iterations) {}

  int64_t range(int index) const { return index == 0 ? argument_ : 0; }

  // Figures the benchmark reports beside its time, such as a word count.
  std::map<std::string, double> counters;

  struct [[maybe_unused]] Iteration {};
  class Iterator {
   public:
    Iterator(State* state, int64_t left) : state_(state), left_(left) {}
    Iteration operator*() const { return {}; }
    Iterator& operator++() {
      --left_;
      return *this;
    }
    // The loop's end is where the round's clock stops.
    bool operator!=(const Iterator&) {
      if (left_ > 0) return true;
      state_->StopClock();
      return false;
    }

   private:
    State* state_;
    int64_t left_;
  };
  Iterator begin();
  Iterator end() { return {this, 0}; }

  double seconds() const { return seconds_; }

 private:
  void StopClock();

  int64_t argument_;
  int64_t iterations_;
  int64_t started_ = 0;
  double seconds_ = 0;
};

// Keeps `value` from being optimised away, as if it were read.
template <typename T>
inline void DoNotOptimize(const T& value) {
#if defined(_MSC_VER)
  static volatile const void* sink;
  sink = &value;
#else
  asm volatile("" : : "r,m"(value) : "memory");
#endif
}

using BenchmarkFn = void (*)(State&);

// One registered benchmark; each Arg adds a case named "name/argument".
class Benchmark {
 public:
  Benchmark(std::string name, BenchmarkFn fn)
      : name_(std::move(name)), fn_(fn) {}
  Benchmark* Arg(int64_t argument) {
    arguments_.push_back(argument);
    return this;
  }
  Benchmark* Name(const std::string& name) {
    name_ = name;
    return this;
  }

  const std::string& name() const { return name_; }
  BenchmarkFn fn() const { return fn_; }
  const std::vector<int64_t>& arguments() const { return arguments_; }

 private:
  std::string name_;
  BenchmarkFn fn_;
  std::vector<int64_t> arguments_;
};

Benchmark* RegisterBenchmark(const char* name, BenchmarkFn fn);

// Registers `fn` under its own name at start-up.
#define BENCHMARK_CONCAT2(a, b) a##b
#define BENCHMARK_CONCAT(a, b) BENCHMARK_CONCAT2(a, b)
#define BENCHMARK(fn)                                    \
  [[maybe_unused]] static ::vellum::bench::Benchmark*    \
      BENCHMARK_CONCAT(registered_benchmark_, __LINE__) = \
          ::vellum::bench::RegisterBenchmark(#fn, fn)

// Asks the program to print time(command) / time(anchor), both measured in
// this run, against `target`. Returns a value so that it can initialise a
// namespace-scope constant next to the benchmarks it names.
int AddRatio(const std::string& command, const std::string& anchor,
             double target);

// The same for an anchor that is a C runtime function. Only the native
// build prints it: the Windows build's runtime is msvcrt.dll, whose string
// scans are byte loops, and a ratio against those says nothing.
int AddRatioToRuntime(const std::string& command, const std::string& anchor,
                      double target);

}  // namespace vellum::bench
