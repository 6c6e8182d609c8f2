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
    for (int i = length(random); i > 0; --i)
      word += static_cast<char>(letter(random));
    if (quote_every_fourth && field % 4 == 3) {
      if (field % 8 == 7) word[word.size() / 2] = ',';
      word = '"' + word + '"';
    }
    text += word;
  }
  text.resize(kMiB);
  return text;
}

// The record without quotes (false) or with them (true), each made once.
const std::string& Fields(bool quoted) {
  static const std::string records[] = {Record(false), Record(true)};
  return records[quoted ? 1 : 0];
}

void Tokenise(State& state, const char* set) {
  const char* text = Fields(false).c_str();
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
BENCHMARK(BM_strcspn_1);
void BM_strcspn_4(State& state) { Tokenise(state, kFourByteSet); }
BENCHMARK(BM_strcspn_4);

void Split(State& state, const std::string& text, const char* set) {
  InstallFakeCore();
  for (auto _ : state) SplitString(text.c_str(), set);
  state.counters["words"] = SplitCount();
}

void BM_SplitString_1(State& state) {
  Split(state, Fields(false), kOneByteSet);
}
BENCHMARK(BM_SplitString_1)->AgainstRuntime("BM_strcspn_1", 1.0);
void BM_SplitString_4(State& state) {
  Split(state, Fields(false), kFourByteSet);
}
BENCHMARK(BM_SplitString_4)->AgainstRuntime("BM_strcspn_4", 1.0);
void BM_SplitString_csv_bytes(State& state) {
  Split(state, Fields(true), kOneByteSet);
}
BENCHMARK(BM_SplitString_csv_bytes);

void BM_SplitCsvString(State& state) {
  InstallFakeCore();
  for (auto _ : state) SplitCsvString(Fields(true).c_str());
  state.counters["words"] = SplitCount();
}
BENCHMARK(BM_SplitCsvString)->Against("BM_SplitString_csv_bytes", 2.0);

void BM_GetSplitWord_all(State& state) {
  InstallFakeCore();
  SplitString(Fields(false).c_str(), kOneByteSet);
  const int32_t count = SplitCount();
  for (auto _ : state) {
    for (int32_t n = 1; n <= count; ++n) Release(SplitWord(nullptr, n));
  }
  state.counters["words"] = count;
}
BENCHMARK(BM_GetSplitWord_all);

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
BENCHMARK(BM_SplitString_separators);
void BM_SplitCsvString_separators(State& state) {
  SplitSeparators(state, SplitCsvString);
}
BENCHMARK(BM_SplitCsvString_separators);

}  // namespace
}  // namespace vellum::bench
