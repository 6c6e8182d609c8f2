// The editing commands against the alloc+copy anchor of their result's size:
// whatever else a command does, it must make and fill that result.
#include <string>

#include "bench/bench_support.h"
#include "commands/edit/csv_quote.h"
#include "commands/edit/pad.h"
#include "commands/edit/replace.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"

namespace vellum::bench {
namespace {

const std::string& Text() {
  static const std::string text = EnglishText(kMiB);
  return text;
}

// MID$ of the middle half of 1 MiB.
void BM_Edit_Mid512KiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(Mid(nullptr, Text().c_str(), kMiB / 4 + 1, kMiB / 2));
  }
}

void BM_Edit_AllocCopy512KiB(State& state) {
  AllocCopy(state, Text().substr(0, kMiB / 2));
}

// 1 MiB of prose with a two-byte marker, found nowhere else, every 105 bytes:
// about 10,000 matches, each replaced by ten bytes.
constexpr char kMarker[] = "#@";
constexpr char kReplacement[] = "[replaced]";

const std::string& MarkedText() {
  static const std::string text = [] {
    std::string marked = EnglishText(kMiB);
    for (size_t at = 50; at + 2 <= marked.size(); at += 105) {
      marked.replace(at, 2, kMarker);
    }
    return marked;
  }();
  return text;
}

void BM_Edit_ReplaceAllText(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, MarkedText().c_str(), kMarker,
                             kReplacement));
  }
}

void BM_Edit_AllocCopyReplaced(State& state) {
  std::string replaced;
  const std::string& text = MarkedText();
  for (size_t from = 0;;) {
    size_t at = text.find(kMarker, from);
    replaced.append(text, from, at - from);
    if (at == std::string::npos) break;
    replaced += kReplacement;
    from = at + 2;
  }
  AllocCopy(state, replaced);
}

// TRIM$ with a four-byte set, 1,000 bytes of it at each end of 1 MiB.
void BM_Edit_TrimChar1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(TrimChar(nullptr, BlankFramedText().c_str(), kBlanks));
  }
}

void BM_Edit_AllocCopyTrimmed(State& state) {
  AllocCopy(state, EnglishText(kMiB - 2000));
}

void BM_Edit_PadLeft1MiB(State& state) {
  InstallFakeCore();
  for (auto _ : state) Release(PadLeft(nullptr, "abc", kMiB));
}

void BM_Edit_AllocCopy1MiB(State& state) {
  AllocCopy(state, Text());
}

// A search string that grows with the source and fails only at its last
// byte everywhere: 'a' x N against 'a' x (N/1024 - 1) + 'b'. With a linear
// search the 1 MiB call costs about 16 times the 64 KiB call; with one that
// compares the whole search string at every start, 256 times.
void BM_Edit_ReplaceAllAdversarial(State& state) {
  InstallFakeCore();
  const auto size = static_cast<size_t>(state.range(0));
  const std::string source(size, 'a');
  const std::string search = std::string(size / 1024 - 1, 'a') + 'b';
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, source.c_str(), search.c_str(), "x"));
  }
}

// REPLACE ALL$ of a common word in prose by a longer one.
void BM_Edit_ReplaceAllThe(State& state) {
  InstallFakeCore();
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, Text().c_str(), "the", "those"));
  }
}

void BM_Edit_AllocCopyReplacedThe(State& state) {
  std::string replaced;
  const std::string& text = Text();
  for (size_t from = 0;;) {
    size_t at = text.find("the", from);
    replaced.append(text, from, at - from);
    if (at == std::string::npos) break;
    replaced += "those";
    from = at + 3;
  }
  AllocCopy(state, replaced);
}

// Sources where every byte matches: 'a' x 1 MiB has each byte replaced, or
// each removed. The first result is 1 MiB; the second is empty, and is held
// to the copy of the 1 MiB it has to read. BM_Edit_AllocCopy1MiB anchors both.
void BM_Edit_ReplaceAllEveryByte(State& state) {
  InstallFakeCore();
  const std::string source(kMiB, 'a');
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, source.c_str(), "a", "-"));
  }
}

void BM_Edit_RemoveAllEveryByte(State& state) {
  InstallFakeCore();
  const std::string source(kMiB, 'a');
  for (auto _ : state) Release(RemoveStringAll(nullptr, source.c_str(), "a"));
}

// DELIMIT CSV$ of 512 KiB of double quotes: each one is doubled.
void BM_Edit_DelimitCsvQuotes(State& state) {
  InstallFakeCore();
  const std::string source(kMiB / 2, '"');
  for (auto _ : state) Release(DelimitCsv(nullptr, source.c_str()));
}

void BM_Edit_AllocCopyDelimitedQuotes(State& state) {
  AllocCopy(state, std::string(kMiB + 2, '"'));
}

BENCHMARK(BM_Edit_Mid512KiB);
BENCHMARK(BM_Edit_AllocCopy512KiB);
BENCHMARK(BM_Edit_ReplaceAllText);
BENCHMARK(BM_Edit_AllocCopyReplaced);
BENCHMARK(BM_Edit_TrimChar1MiB);
BENCHMARK(BM_Edit_AllocCopyTrimmed);
BENCHMARK(BM_Edit_PadLeft1MiB);
BENCHMARK(BM_Edit_AllocCopy1MiB);
BENCHMARK(BM_Edit_ReplaceAllAdversarial)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(BM_Edit_ReplaceAllThe);
BENCHMARK(BM_Edit_AllocCopyReplacedThe);
BENCHMARK(BM_Edit_ReplaceAllEveryByte);
BENCHMARK(BM_Edit_RemoveAllEveryByte);
BENCHMARK(BM_Edit_DelimitCsvQuotes);
BENCHMARK(BM_Edit_AllocCopyDelimitedQuotes);

const int kRatios[] = {
    AddRatio("BM_Edit_Mid512KiB", "BM_Edit_AllocCopy512KiB", 1.3),
    AddRatio("BM_Edit_ReplaceAllText", "BM_Edit_AllocCopyReplaced", 3.0),
    AddRatio("BM_Edit_TrimChar1MiB", "BM_Edit_AllocCopyTrimmed", 1.3),
    AddRatio("BM_Edit_PadLeft1MiB", "BM_Edit_AllocCopy1MiB", 1.3),
    AddRatio("BM_Edit_ReplaceAllAdversarial/1048576",
             "BM_Edit_ReplaceAllAdversarial/65536", 20.0),
    AddRatio("BM_Edit_ReplaceAllThe", "BM_Edit_AllocCopyReplacedThe", 2.5),
    AddRatio("BM_Edit_ReplaceAllEveryByte", "BM_Edit_AllocCopy1MiB", 4.0),
    AddRatio("BM_Edit_RemoveAllEveryByte", "BM_Edit_AllocCopy1MiB", 4.0),
    AddRatio("BM_Edit_DelimitCsvQuotes", "BM_Edit_AllocCopyDelimitedQuotes",
             4.0),
};

}  // namespace
}  // namespace vellum::bench
