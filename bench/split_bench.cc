// SPLIT STRING against tokenising the same text with strcspn into a vector
// of word starts that keeps its capacity; SPLIT CSV STRING of a record with
// quoted fields against SPLIT STRING of the same bytes; and walking every
// word with GET SPLIT WORD$, which is only reported.
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "commands/split/csv_split.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"

namespace vellum::bench {
namespace {

constexpr char kOneByteSet[] = ",";
constexpr char kFourByteSet[] = ",;|\t";

// Words of 4 to 12 letters (8 on average) after a comma each; every fourth
// one is quoted when `quote_every_fourth`, some of those holding a comma.
std::string Record(bool quote_every_fourth) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(4, 12);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::string text;
  for (int field = 0; text.size() < kMiB; ++field) {
    if (field > 0) text += ',';
    std::string word;
    for (int i = length(random); i > 0; --i) word += static_cast<char>(letter(random));
    if (quote_every_fourth && field % 4 == 3) {
      if (field % 8 == 7) word[word.size() / 2] = ',';
      word = '"' + word + '"';
    }
    text += word;
  }
  text.resize(kMiB);
  return text;
}

const std::string& Words() {
  static const std::string text = Record(false);
  return text;
}

const std::string& CsvRecord() {
  static const std::string text = Record(true);
  return text;
}

void Tokenise(State& state, const char* set) {
  const char* text = Words().c_str();
  std::vector<const char*> starts;
  for (auto _ : state) {
    starts.clear();
    for (const char* p = text;; ++p) {
      starts.push_back(p);
      p += std::strcspn(p, set);
      if (*p == '\0') break;
    }
    DoNotOptimize(starts.data());
  }
  state.counters["words"] = static_cast<double>(starts.size());
}

void BM_strcspn_1(State& state) { Tokenise(state, kOneByteSet); }
void BM_strcspn_4(State& state) { Tokenise(state, kFourByteSet); }

void Split(State& state, const std::string& text, const char* set) {
  UseFakeCore();
  for (auto _ : state) SplitString(text.c_str(), set);
  state.counters["words"] = SplitCount();
}

void BM_SplitString_1(State& state) {
  Split(state, Words(), kOneByteSet);
}
void BM_SplitString_4(State& state) {
  Split(state, Words(), kFourByteSet);
}
void BM_SplitString_csv_bytes(State& state) {
  Split(state, CsvRecord(), kOneByteSet);
}

void BM_SplitCsvString(State& state) {
  UseFakeCore();
  for (auto _ : state) SplitCsvString(CsvRecord().c_str());
  state.counters["words"] = SplitCount();
}

void BM_GetSplitWord_all(State& state) {
  UseFakeCore();
  SplitString(Words().c_str(), kOneByteSet);
  const int32_t count = SplitCount();
  for (auto _ : state) {
    for (int32_t n = 1; n <= count; ++n) Release(SplitWord(nullptr, n));
  }
  state.counters["words"] = count;
}

BENCHMARK(BM_strcspn_1);
BENCHMARK(BM_SplitString_1);
BENCHMARK(BM_strcspn_4);
BENCHMARK(BM_SplitString_4);
BENCHMARK(BM_SplitString_csv_bytes);
BENCHMARK(BM_SplitCsvString);
BENCHMARK(BM_GetSplitWord_all);

const int kRatios[] = {
    AddRatioToRuntime("BM_SplitString_1", "BM_strcspn_1", 1.0),
    AddRatioToRuntime("BM_SplitString_4", "BM_strcspn_4", 1.0),
    AddRatio("BM_SplitCsvString", "BM_SplitString_csv_bytes", 2.0),
};

}  // namespace
}  // namespace vellum::bench
