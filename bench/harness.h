// The benchmark program's own harness, the same in the native build and in
// the Windows build that runs under Wine: benchmarks are registered by name,
// each is timed in rounds of a calibrated number of iterations, and a ratio
// is the median of rounds that alternate between the command and its
// anchor, so that a machine busy with other work slows both alike.
#pragma once

#include <cstdint>
#include <functional>
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

// `pointer`, which the compiler can no longer see through: a call made
// with it is an indirect call, as the host makes to a module's exports.
template <typename T>
inline T* Opaque(T* pointer) {
#if defined(_MSC_VER)
  static T* volatile sink;
  sink = pointer;
  return sink;
#else
  asm volatile("" : "+r"(pointer));
  return pointer;
#endif
}

// A benchmark's body; a lambda can carry the inputs of a row that a table
// of rows registers.
using BenchmarkFn = std::function<void(State&)>;

// One registered benchmark; each Arg adds a case named "name/argument".
// Its ratios are declared with it:
//   BENCHMARK(BM_FastUpper)->Against("BM_AllocCopy_1MiB", 1.3);
//   BENCHMARK(BM_Instr_adversarial)->Arg(64 * kKiB)->Arg(kMiB)->Grows(20);
class Benchmark {
 public:
  Benchmark(std::string name, BenchmarkFn fn)
      : name_(std::move(name)), fn_(std::move(fn)) {}
  Benchmark* Arg(int64_t argument) {
    arguments_.push_back(argument);
    return this;
  }
  Benchmark* Name(const std::string& name) {
    name_ = name;
    return this;
  }

  // Asks the program to print time(this) / time(anchor), both measured in
  // this run, against `target`.
  Benchmark* Against(const std::string& anchor, double target);
  // The same for an anchor that is a C runtime function. Only the native
  // build prints it: the Windows build's runtime is msvcrt.dll, whose
  // string scans are byte loops, and a ratio against those says nothing.
  Benchmark* AgainstRuntime(const std::string& anchor, double target);
  // The ratio of the case with the last argument to the one with the
  // first: how the time grows with the input.
  Benchmark* Grows(double target);

  const std::string& name() const { return name_; }
  const BenchmarkFn& fn() const { return fn_; }
  const std::vector<int64_t>& arguments() const { return arguments_; }
  // The name of the case that runs with `argument`.
  std::string CaseName(int64_t argument) const {
    return name_ + "/" + std::to_string(argument);
  }

 private:
  std::string name_;
  BenchmarkFn fn_;
  std::vector<int64_t> arguments_;
};

Benchmark* RegisterBenchmark(const std::string& name, BenchmarkFn fn);

// Registers `fn` under its own name at start-up.
#define BENCHMARK_CONCAT2(a, b) a##b
#define BENCHMARK_CONCAT(a, b) BENCHMARK_CONCAT2(a, b)
#define BENCHMARK(fn)                                                   \
  [[maybe_unused]] static ::vellum::bench::Benchmark* BENCHMARK_CONCAT( \
      registered_benchmark_, __LINE__) =                                \
      ::vellum::bench::RegisterBenchmark(#fn, fn)

// Times `call(text)` for each iteration. `text` is passed through
// DoNotOptimize first, so that the call cannot be hoisted out of the loop.
template <typename Call>
void TimeCalls(State& state, const char* text, Call call) {
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(call(text));
  }
}

}  // namespace vellum::bench
