// SPLIT STRING against tokenising the same text with strcspn into a vector
// of word starts that keeps its capacity; SPLIT CSV STRING of a record with
// quoted fields against SPLIT STRING of the same bytes; walking every word
// with GET SPLIT WORD$, which is only reported; and both splitters on 64 MiB
// of separators, the store's worst case, reported with the store's bytes
// per word and its peak against the source.
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "commands/split/csv_split.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"
#include "commands/split/split_store.h"

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
  InstallFakeCore();
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
  InstallFakeCore();
  for (auto _ : state) SplitCsvString(CsvRecord().c_str());
  state.counters["words"] = SplitCount();
}

void BM_GetSplitWord_all(State& state) {
  InstallFakeCore();
  SplitString(Words().c_str(), kOneByteSet);
  const int32_t count = SplitCount();
  for (auto _ : state) {
    for (int32_t n = 1; n <= count; ++n) Release(SplitWord(nullptr, n));
  }
  state.counters["words"] = count;
}

// A word per byte. The peak is the source, which the host holds during the
// call, and the store's arrays after the split: a split gives back what it
// does not reuse before allocating, so nothing else is held at once. What a
// following empty split keeps is reported too.
void SplitSeparators(State& state, void (*split)(const char*)) {
  InstallFakeCore();
  static const std::string separators(64 * kMiB, ',');
  for (auto _ : state) split(separators.c_str());
  const auto words = static_cast<double>(SplitCount());
  const auto held = static_cast<double>(SplitStoreBytes());
  SplitString("", ",");
  state.counters["words"] = words;
  state.counters["store_bytes_per_word"] = held / words;
  state.counters["peak_per_source_byte"] =
      (static_cast<double>(separators.size()) + held) / separators.size();
  state.counters["MiB_kept_after_empty"] =
      static_cast<double>(SplitStoreBytes()) / kMiB;
}

void BM_SplitString_separators(State& state) {
  SplitSeparators(state, [](const char* text) { SplitString(text, ","); });
}
void BM_SplitCsvString_separators(State& state) {
  SplitSeparators(state, SplitCsvString);
}

BENCHMARK(BM_strcspn_1);
BENCHMARK(BM_SplitString_1);
BENCHMARK(BM_strcspn_4);
BENCHMARK(BM_SplitString_4);
BENCHMARK(BM_SplitString_csv_bytes);
BENCHMARK(BM_SplitCsvString);
BENCHMARK(BM_GetSplitWord_all);
BENCHMARK(BM_SplitString_separators);
BENCHMARK(BM_SplitCsvString_separators);

const int kRatios[] = {
    AddRatioToRuntime("BM_SplitString_1", "BM_strcspn_1", 1.0),
    AddRatioToRuntime("BM_SplitString_4", "BM_strcspn_4", 1.0),
    AddRatio("BM_SplitCsvString", "BM_SplitString_csv_bytes", 2.0),
};

}  // namespace
}  // namespace vellum::bench
