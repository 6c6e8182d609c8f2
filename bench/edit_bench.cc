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

// MID$ of the middle half of 1 MiB.
void BM_Edit_Mid512KiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) {
    Release(Mid(nullptr, Prose1MiB().c_str(), kMiB / 4 + 1, kMiB / 2));
  }
}
BENCHMARK(BM_Edit_Mid512KiB)
    ->Against("BM_Edit_AllocCopy512KiB", 1.3)
    ->Against("BM_Floor_BoundedScan768KiB", 1.1);

void BM_Edit_AllocCopy512KiB(State& state) {
  AllocCopy(state, Prose1MiB().substr(0, kMiB / 2));
}
BENCHMARK(BM_Edit_AllocCopy512KiB);

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
  InstallAuditedHost();
  for (auto _ : state) {
    Release(
        ReplaceStringAll(nullptr, MarkedText().c_str(), kMarker, kReplacement));
  }
}
BENCHMARK(BM_Edit_ReplaceAllText)->Against("BM_Edit_AllocCopyReplaced", 3.0);

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
BENCHMARK(BM_Edit_AllocCopyReplaced);

// TRIM$ with a four-byte set, 1,000 bytes of it at each end of 1 MiB.
void BM_Edit_TrimChar1MiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) {
    Release(TrimChar(nullptr, BlankFramedText().c_str(), kBlanks));
  }
}
BENCHMARK(BM_Edit_TrimChar1MiB)
    ->Against("BM_Edit_AllocCopyTrimmed", 1.3)
    ->Against("BM_Floor_ScanTrimmed", 1.1);

void BM_Edit_AllocCopyTrimmed(State& state) {
  AllocCopy(state, EnglishText(kMiB - 2000));
}
BENCHMARK(BM_Edit_AllocCopyTrimmed);

void BM_Edit_PadLeft1MiB(State& state) {
  InstallAuditedHost();
  for (auto _ : state) Release(PadLeft(nullptr, "abc", kMiB));
}
BENCHMARK(BM_Edit_PadLeft1MiB)->Against("BM_Edit_AllocCopy1MiB", 1.3);

void BM_Edit_AllocCopy1MiB(State& state) { AllocCopy(state, Prose1MiB()); }
BENCHMARK(BM_Edit_AllocCopy1MiB);

// A search string that grows with the source and fails only at its last
// byte everywhere: 'a' x N against 'a' x (N/1024 - 1) + 'b'. With a linear
// search the 1 MiB call costs about 16 times the 64 KiB call; with one that
// compares the whole search string at every start, 256 times.
void BM_Edit_ReplaceAllAdversarial(State& state) {
  InstallAuditedHost();
  const auto size = static_cast<size_t>(state.range(0));
  const std::string source(size, 'a');
  const std::string search = std::string(size / 1024 - 1, 'a') + 'b';
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, source.c_str(), search.c_str(), "x"));
  }
}
BENCHMARK(BM_Edit_ReplaceAllAdversarial)
    ->Arg(64 * kKiB)
    ->Arg(kMiB)
    ->Grows(20.0);

// REPLACE ALL$ of a common word in prose by a longer one.
void BM_Edit_ReplaceAllThe(State& state) {
  InstallAuditedHost();
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, Prose1MiB().c_str(), "the", "those"));
  }
}
BENCHMARK(BM_Edit_ReplaceAllThe)->Against("BM_Edit_AllocCopyReplacedThe", 2.5);

void BM_Edit_AllocCopyReplacedThe(State& state) {
  std::string replaced;
  const std::string& text = Prose1MiB();
  for (size_t from = 0;;) {
    size_t at = text.find("the", from);
    replaced.append(text, from, at - from);
    if (at == std::string::npos) break;
    replaced += "those";
    from = at + 3;
  }
  AllocCopy(state, replaced);
}
BENCHMARK(BM_Edit_AllocCopyReplacedThe);

// Sources where every byte matches: 'a' x 1 MiB has each byte replaced, or
// each removed. The first result is 1 MiB; the second is empty, and is held
// to the copy of the 1 MiB it has to read. BM_Edit_AllocCopy1MiB anchors both.
void BM_Edit_ReplaceAllEveryByte(State& state) {
  InstallAuditedHost();
  const std::string source(kMiB, 'a');
  for (auto _ : state) {
    Release(ReplaceStringAll(nullptr, source.c_str(), "a", "-"));
  }
}
BENCHMARK(BM_Edit_ReplaceAllEveryByte)->Against("BM_Edit_AllocCopy1MiB", 4.0);

void BM_Edit_RemoveAllEveryByte(State& state) {
  InstallAuditedHost();
  const std::string source(kMiB, 'a');
  for (auto _ : state) Release(RemoveStringAll(nullptr, source.c_str(), "a"));
}
BENCHMARK(BM_Edit_RemoveAllEveryByte)->Against("BM_Edit_AllocCopy1MiB", 4.0);

// DELIMIT CSV$ of 512 KiB of double quotes: each one is doubled.
void BM_Edit_DelimitCsvQuotes(State& state) {
  InstallAuditedHost();
  const std::string source(kMiB / 2, '"');
  for (auto _ : state) Release(DelimitCsv(nullptr, source.c_str()));
}
BENCHMARK(BM_Edit_DelimitCsvQuotes)
    ->Against("BM_Edit_AllocCopyDelimitedQuotes", 4.0);

void BM_Edit_AllocCopyDelimitedQuotes(State& state) {
  AllocCopy(state, std::string(kMiB + 2, '"'));
}
BENCHMARK(BM_Edit_AllocCopyDelimitedQuotes);

}  // namespace
}  // namespace vellum::bench
