// The searches against the C library's on the same text; the substring
// searches on inputs that make a restarting scan quadratic, at 1 MiB
// against 64 KiB (a linear search costs 16 times as much for 16 times the
// text; a quadratic one 256 times).
#include <cstring>
#include <string>

#include "bench/bench_support.h"
#include "commands/search/search_commands.h"

namespace vellum::bench {
namespace {

const std::string& Text() {
  static const std::string text = EnglishText(kMiB);
  return text;
}

// Common words in an order the text never has, so the whole text is
// scanned and many starts pass a first-byte test.
constexpr char kAbsentPhrase[] = "the lazy brown dog jumps over the fox";
// Bytes that do not occur in the text.
constexpr char kOneByteSet[] = "#";
constexpr char kTenByteSet[] = "#$%&*<>@^~";

void BM_strstr(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(std::strstr(text, kAbsentPhrase));
  }
}

void BM_Instr_text(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(Instr_2(text, kAbsentPhrase));
  }
}

void BM_ReverseInstr_text(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(ReverseInstr(text, kAbsentPhrase));
  }
}

void BM_strchr(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(std::strchr(text, kOneByteSet[0]));
  }
}

void BM_memchr(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(std::memchr(text, kOneByteSet[0], kMiB));
  }
}

void BM_FindChar_1(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(FindChar_2(text, kOneByteSet));
  }
}

void BM_strcspn_10(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(std::strcspn(text, kTenByteSet));
  }
}

void BM_FindChar_10(State& state) {
  const char* text = Text().c_str();
  for (auto _ : state) {
    DoNotOptimize(text);
    DoNotOptimize(FindChar_2(text, kTenByteSet));
  }
}

void BM_strcmp(State& state) {
  const std::string copy = Text();
  for (auto _ : state) {
    DoNotOptimize(std::strcmp(Text().c_str(), copy.c_str()));
  }
}

void BM_Compare(State& state) {
  const std::string copy = Text();
  for (auto _ : state) {
    DoNotOptimize(Compare(Text().c_str(), copy.c_str()));
  }
}

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

void BM_CountString_adversarial(State& state) {
  RunAgainstRunOfA(state, 1024, CountString);
}

// Source 'a' × n, search 'a' × n / 2: every start from the left matches.
void BM_ReverseInstr_adversarial(State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  const std::string source(n, 'a');
  const std::string search(n / 2, 'a');
  for (auto _ : state) {
    DoNotOptimize(ReverseInstr(source.c_str(), search.c_str()));
  }
}

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

void BM_Instr_classic(State& state) {
  RunFilterPair(state, ClassicSearch(), Instr_2);
}

void BM_Instr_filter_defeating(State& state) {
  RunFilterPair(state, FilterDefeatingSearch(), Instr_2);
}

void BM_ReverseInstr_classic(State& state) {
  RunFilterPair(state, ClassicSearch(), ReverseInstr);
}

void BM_ReverseInstr_filter_defeating(State& state) {
  RunFilterPair(state, FilterDefeatingSearch(), ReverseInstr);
}

void BM_CountString_classic(State& state) {
  RunFilterPair(state, ClassicSearch(), CountString);
}

void BM_CountString_filter_defeating(State& state) {
  RunFilterPair(state, FilterDefeatingSearch(), CountString);
}

BENCHMARK(BM_strstr);
BENCHMARK(BM_Instr_text);
BENCHMARK(BM_ReverseInstr_text);
BENCHMARK(BM_strchr);
BENCHMARK(BM_memchr);
BENCHMARK(BM_FindChar_1);
BENCHMARK(BM_strcspn_10);
BENCHMARK(BM_FindChar_10);
BENCHMARK(BM_strcmp);
BENCHMARK(BM_Compare);
BENCHMARK(BM_Instr_adversarial)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(BM_CountString_adversarial)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(BM_ReverseInstr_adversarial)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(BM_Instr_classic);
BENCHMARK(BM_Instr_filter_defeating);
BENCHMARK(BM_ReverseInstr_classic);
BENCHMARK(BM_ReverseInstr_filter_defeating);
BENCHMARK(BM_CountString_classic);
BENCHMARK(BM_CountString_filter_defeating);

const int kRatios[] = {
    AddRatioToRuntime("BM_Instr_text", "BM_strstr", 1.5),
    AddRatioToRuntime("BM_FindChar_1", "BM_strchr", 1.3),
    AddRatioToRuntime("BM_FindChar_10", "BM_strcspn_10", 1.0),
    AddRatioToRuntime("BM_Compare", "BM_strcmp", 1.5),
    AddRatio("BM_Instr_adversarial/1048576", "BM_Instr_adversarial/65536", 20),
    AddRatio("BM_CountString_adversarial/1048576",
             "BM_CountString_adversarial/65536", 20),
    AddRatio("BM_ReverseInstr_adversarial/1048576",
             "BM_ReverseInstr_adversarial/65536", 20),
    AddRatio("BM_Instr_filter_defeating", "BM_Instr_classic", 4),
    AddRatio("BM_ReverseInstr_filter_defeating", "BM_ReverseInstr_classic", 4),
    AddRatio("BM_CountString_filter_defeating", "BM_CountString_classic", 4),
};

}  // namespace
}  // namespace vellum::bench
