// SPLIT STRING against tokenising the same text with strcspn into a vector
// of word starts that keeps its capacity; SPLIT CSV STRING of a record with
// quoted fields, and of a record of commas, against SPLIT STRING of the same
// bytes; an 80-byte line split and read word by word against a plain loop
// that cuts the same words; walking every word of 1 MiB with GET SPLIT
// WORD$, which is only reported; and both splitters on 64 MiB
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
#include "fake_core/fake_core.h"

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
  InstallAuditedHost();
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
  InstallAuditedHost();
  for (auto _ : state) SplitCsvString(Fields(true).c_str());
  state.counters["words"] = SplitCount();
}
BENCHMARK(BM_SplitCsvString)->Against("BM_SplitString_csv_bytes", 1.3);

// A record of nothing but separators, where every byte ends a word.
const std::string& Commas() {
  static const std::string commas(kMiB, ',');
  return commas;
}

void BM_SplitString_commas(State& state) { Split(state, Commas(), ","); }
BENCHMARK(BM_SplitString_commas);

void BM_SplitCsvString_commas(State& state) {
  InstallAuditedHost();
  for (auto _ : state) SplitCsvString(Commas().c_str());
  state.counters["words"] = SplitCount();
}
BENCHMARK(BM_SplitCsvString_commas)->Against("BM_SplitString_commas", 2.0);

// One line of a file, 80 bytes in ten fields, split and read word by word
// as a BASIC loop does, against cutting the same words into host strings
// with a plain loop. Both run against the plain host allocator.
constexpr char kLine[] =
    "10442,Smithson,Jonathan,42,Manchester,England,2024-01-05,1999.95,inactive,"
    "unpaid";
static_assert(sizeof kLine - 1 == 80, "the line is 80 bytes");

template <typename Split>
void SplitLineAndReadWords(State& state, Split split) {
  InstallPlainHost();
  for (auto _ : state) {
    const char* line = kLine;
    DoNotOptimize(line);
    split(line);
    const int32_t count = SplitCount();
    for (int32_t n = 1; n <= count; ++n) Release(SplitWord(nullptr, n));
  }
  state.counters["words"] = SplitCount();
}

void BM_Line_SplitString(State& state) {
  SplitLineAndReadWords(state,
                        [](const char* line) { SplitString(line, ","); });
}
BENCHMARK(BM_Line_SplitString)->Against("BM_Line_PlainCut", 1.2);

void BM_Line_SplitCsvString(State& state) {
  SplitLineAndReadWords(state, SplitCsvString);
}
BENCHMARK(BM_Line_SplitCsvString)->Against("BM_Line_PlainCut", 1.2);

void BM_Line_PlainCut(State& state) {
  InstallPlainHost();
  HostStringFn allocate =
      reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr())->host_string_fn;
  for (auto _ : state) {
    const char* line = kLine;
    DoNotOptimize(line);
    for (const char* word = line;; ++word) {
      const char* end = word;
      while (*end != ',' && *end != '\0') ++end;
      const auto size = static_cast<size_t>(end - word);
      HostString copy = nullptr;
      allocate(&copy, static_cast<int32_t>(size + 1));
      std::memcpy(copy, word, size);
      copy[size] = '\0';
      DoNotOptimize(copy);
      Release(copy);
      if (*end == '\0') break;
      word = end;
    }
  }
}
BENCHMARK(BM_Line_PlainCut);

void BM_GetSplitWord_all(State& state) {
  InstallAuditedHost();
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
  InstallAuditedHost();
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
