// The searches against the C library's on the same text; the substring
// searches on inputs that make a restarting scan quadratic, at 1 MiB
// against 64 KiB (a linear search costs 16 times as much for 16 times the
// text; a quadratic one 256 times).
#include <cstring>
#include <string>
#include <utility>

#include "bench/bench_support.h"
#include "commands/search/search_commands.h"

namespace vellum::bench {
namespace {

// Common words in an order the text never has, so the whole text is
// scanned and many starts pass a first-byte test.
constexpr char kAbsentPhrase[] = "the lazy brown dog jumps over the fox";
// Bytes that do not occur in the text.
constexpr char kOneByteSet[] = "#";
constexpr char kTenByteSet[] = "#$%&*<>@^~";

// Registers `name`, timing call(text) over the whole of Prose1MiB().
template <typename Call>
Benchmark* OverProse(const std::string& name, Call call) {
  return RegisterBenchmark(name, [call](State& state) {
    TimeCalls(state, Prose1MiB().c_str(), call);
  });
}

[[maybe_unused]] const bool registered_prose = [] {
  OverProse("BM_strstr",
            [](const char* text) { return std::strstr(text, kAbsentPhrase); });
  OverProse("BM_Instr_text", [](const char* text) {
    return Instr_2(text, kAbsentPhrase);
  })->AgainstRuntime("BM_strstr", 1.5);
  OverProse("BM_ReverseInstr_text",
            [](const char* text) { return ReverseInstr(text, kAbsentPhrase); });
  OverProse("BM_strchr",
            [](const char* text) { return std::strchr(text, kOneByteSet[0]); });
  OverProse("BM_memchr", [](const char* text) {
    return std::memchr(text, kOneByteSet[0], kMiB);
  });
  OverProse("BM_FindChar_1", [](const char* text) {
    return FindChar_2(text, kOneByteSet);
  })->AgainstRuntime("BM_strchr", 1.3);
  OverProse("BM_strcspn_10",
            [](const char* text) { return std::strcspn(text, kTenByteSet); });
  OverProse("BM_FindChar_10", [](const char* text) {
    return FindChar_2(text, kTenByteSet);
  })->AgainstRuntime("BM_strcspn_10", 1.0);
  return true;
}();

void BM_strcmp(State& state) {
  const std::string copy = Prose1MiB();
  for (auto _ : state) {
    DoNotOptimize(std::strcmp(Prose1MiB().c_str(), copy.c_str()));
  }
}
BENCHMARK(BM_strcmp);

void BM_Compare(State& state) {
  const std::string copy = Prose1MiB();
  for (auto _ : state) {
    DoNotOptimize(Compare(Prose1MiB().c_str(), copy.c_str()));
  }
}
BENCHMARK(BM_Compare)->AgainstRuntime("BM_strcmp", 1.5);

// Source 'a' × n against a search of 'a' × (n / divisor - 1) and a 'b'.
void RunAgainstRunOfA(State& state, size_t divisor,
                      int32_t (*command)(const char*, const char*)) {
  const size_t n = static_cast<size_t>(state.range(0));
  const std::string source(n, 'a');
  const std::string search = std::string(n / divisor - 1, 'a') + "b";
  for (auto _ : state) {
    DoNotOptimize(command(source.c_str(), search.c_str()));
  }
}

void BM_Instr_adversarial(State& state) {
  RunAgainstRunOfA(state, 64, Instr_2);
}
BENCHMARK(BM_Instr_adversarial)->Arg(64 * kKiB)->Arg(kMiB)->Grows(20);

void BM_CountString_adversarial(State& state) {
  RunAgainstRunOfA(state, 1024, CountString);
}
BENCHMARK(BM_CountString_adversarial)->Arg(64 * kKiB)->Arg(kMiB)->Grows(20);

// Source 'a' × n, search 'a' × n / 2: every start from the left matches.
void BM_ReverseInstr_adversarial(State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  const std::string source(n, 'a');
  const std::string search(n / 2, 'a');
  for (auto _ : state) {
    DoNotOptimize(ReverseInstr(source.c_str(), search.c_str()));
  }
}
BENCHMARK(BM_ReverseInstr_adversarial)->Arg(64 * kKiB)->Arg(kMiB)->Grows(20);

// Source 'a' x 1 MiB against two searches of 16,384 bytes. The classic
// adversarial one, 'a' x 16,383 + 'b', fails only at its last byte. The
// other, 'ab' + 'a' x 16,382, has its first and last bytes at every start,
// so every start passes a first-and-last-byte filter, while its second byte
// occurs nowhere: a search that trusts the filter compares at every start.
constexpr size_t kFilterSource = kMiB;
constexpr size_t kFilterSearch = 16 * kKiB;

void RunFilterPair(State& state, const std::string& search,
                   int32_t (*command)(const char*, const char*)) {
  static const std::string source(kFilterSource, 'a');
  for (auto _ : state) {
    DoNotOptimize(command(source.c_str(), search.c_str()));
  }
}

const std::string& ClassicSearch() {
  static const std::string search = std::string(kFilterSearch - 1, 'a') + "b";
  return search;
}

const std::string& FilterDefeatingSearch() {
  static const std::string search = "ab" + std::string(kFilterSearch - 2, 'a');
  return search;
}

// BM_<command>_classic and BM_<command>_filter_defeating for each command,
// the second measured against the first.
[[maybe_unused]] const bool registered_filter_pairs = [] {
  using Command = int32_t (*)(const char*, const char*);
  const std::pair<std::string, Command> commands[] = {
      {"Instr", Instr_2},
      {"ReverseInstr", ReverseInstr},
      {"CountString", CountString}};
  for (const auto& [name, command] : commands) {
    const std::string classic = "BM_" + name + "_classic";
    RegisterBenchmark(classic, [command = command](State& state) {
      RunFilterPair(state, ClassicSearch(), command);
    });
    RegisterBenchmark("BM_" + name + "_filter_defeating", [command = command](
                                                              State& state) {
      RunFilterPair(state, FilterDefeatingSearch(), command);
    })->Against(classic, 4);
  }
  return true;
}();

}  // namespace
}  // namespace vellum::bench
