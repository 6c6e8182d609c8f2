// Every command on short strings, one call per iteration as a BASIC loop
// makes them, against the least any implementation must do for the same
// call: for an integer result, measure the string arguments; for a string
// result, measure them, make one host string of the result's size, copy the
// result into it and give it back. On a 20-byte source the fixed cost of a
// call is most of its time, and these rows show it. They run against the
// plain host allocator, as the runtime's is.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "commands/chars/char_constants.h"
#include "commands/chars/fast_commands.h"
#include "commands/edit/csv_quote.h"
#include "commands/edit/pad.h"
#include "commands/edit/replace.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"
#include "commands/generate/guid_env.h"
#include "commands/search/search_commands.h"
#include "commands/split/delimiter_split.h"
#include "commands/split/split_queries.h"
#include "fake_core/fake_core.h"

namespace vellum::bench {
namespace {

// The string arguments of a row, in order; at most four.
using Args = std::vector<std::string>;
using IntegerCall = int32_t (*)(const char* const* args);
using StringCall = HostString (*)(const char* const* args);

// The targets of the rows: the scans that answer with a number, the
// substring searches, and every command that makes a string.
constexpr double kScanTarget = 1.5;
constexpr double kSearchTarget = 2.0;
constexpr double kCopyTarget = 1.3;

// The argument addresses of a row. Each iteration reads them through
// DoNotOptimize, so that no call can be hoisted out of the loop.
struct ArgList {
  explicit ArgList(const Args& args) : count(args.size()) {
    for (size_t i = 0; i < count; ++i) text[i] = args[i].c_str();
  }
  const char* text[4] = {};
  size_t count;
};

[[noreturn]] void WrongResult(const std::string& row, const std::string& got,
                              const std::string& expected) {
  std::fprintf(stderr, "%s gave \"%s\" where its floor copies \"%s\"\n",
               row.c_str(), got.c_str(), expected.c_str());
  std::exit(1);
}

size_t MeasureArgs(const ArgList& args) {
  size_t total = 0;
  for (size_t i = 0; i < args.count; ++i) total += FloorLength(args.text[i]);
  return total;
}

// Calls `call` on the row's arguments once per iteration and hands the
// result to `use`.
template <typename Call, typename Use>
void TimeCalls(State& state, const ArgList& list, Call call, Use use) {
  for (auto _ : state) {
    const char* const* text = list.text;
    DoNotOptimize(text);
    use(call(text));
  }
}

// Registers BM_Short_<name> and its floor BM_Short_<name>_floor. A row whose
// command answers otherwise than its floor assumes stops the program.
void IntegerRow(const std::string& name, double target, Args args,
                int32_t expected, IntegerCall call) {
  const std::string row = "BM_Short_" + name;
  RegisterBenchmark(row, [=](State& state) {
    InstallPlainHost();
    ArgList list(args);
    int32_t got = call(list.text);
    if (got != expected) {
      WrongResult(row, std::to_string(got), std::to_string(expected));
    }
    TimeCalls(state, list, call, [](int32_t got) { DoNotOptimize(got); });
  })->Against(row + "_floor", target);
  RegisterBenchmark(row + "_floor", [=](State& state) {
    ArgList list(args);
    for (auto _ : state) {
      const ArgList* arguments = &list;
      DoNotOptimize(arguments);
      DoNotOptimize(MeasureArgs(*arguments));
    }
  });
}

// `prepare`, when given, runs before the command's first call, outside the
// clock: the split queries read the store a split left.
void StringRow(const std::string& name, double target, Args args,
               std::string expected, StringCall call,
               void (*prepare)() = nullptr) {
  const std::string row = "BM_Short_" + name;
  RegisterBenchmark(row, [=](State& state) {
    InstallPlainHost();
    if (prepare != nullptr) prepare();
    ArgList list(args);
    HostString got = call(list.text);
    std::string bytes = got != nullptr ? got : "";
    Release(got);
    if (bytes != expected) WrongResult(row, bytes, expected);
    TimeCalls(state, list, call, [](HostString got) { Release(got); });
  })->Against(row + "_floor", target);
  RegisterBenchmark(row + "_floor", [=](State& state) {
    InstallPlainHost();
    HostStringFn allocate =
        reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr())->host_string_fn;
    ArgList list(args);
    const char* result = expected.c_str();
    const size_t size = expected.size() + 1;
    for (auto _ : state) {
      const ArgList* arguments = &list;
      DoNotOptimize(arguments);
      DoNotOptimize(result);
      DoNotOptimize(MeasureArgs(*arguments));
      HostString copy = nullptr;
      allocate(&copy, static_cast<int32_t>(size));
      std::memcpy(copy, result, size);
      DoNotOptimize(copy);
      Release(copy);
    }
  });
}

constexpr char kSource[] = "the cat sat on a mat";
constexpr char kPadded[] = "  the cat sat on a  ";
constexpr char kQuoted[] = "\"the cat sat on a m\"";
constexpr char kWithComma[] = "the cat, sat on a ma";
// 40 bytes, "cat" twice.
constexpr char kLine[] = "the cat sat on a mat; the cat ate a rat.";

void RegisterSearchRows() {
  IntegerRow("Instr", kSearchTarget, {kSource, "mat"}, 18,
             [](const char* const* a) { return Instr_2(a[0], a[1]); });
  IntegerRow("InstrAtStart", kSearchTarget, {kSource, "the"}, 1,
             [](const char* const* a) { return Instr_2(a[0], a[1]); });
  IntegerRow("InstrFrom1", kSearchTarget, {kSource, "mat"}, 18,
             [](const char* const* a) { return Instr_3(a[0], a[1], 1); });
  IntegerRow("StringCount", kSearchTarget, {kSource, "at "}, 2,
             [](const char* const* a) { return CountString(a[0], a[1]); });
  IntegerRow("LastInstr", kSearchTarget, {kSource, "at "}, 10,
             [](const char* const* a) { return ReverseInstr(a[0], a[1]); });
  IntegerRow("FindChar", kScanTarget, {kSource, ",;m"}, 18,
             [](const char* const* a) { return FindChar_2(a[0], a[1]); });
  IntegerRow("FindCharFrom1", kScanTarget, {kSource, ",;m"}, 18,
             [](const char* const* a) { return FindChar_3(a[0], a[1], 1); });
  IntegerRow("FindAscii", kScanTarget, {kSource}, 18,
             [](const char* const* a) { return FindAsc_2(a[0], 'm'); });
  IntegerRow("FindAsciiFrom1", kScanTarget, {kSource}, 18,
             [](const char* const* a) { return FindAsc_3(a[0], 'm', 1); });
  IntegerRow("Compare", kScanTarget, {kSource, kSource}, 0,
             [](const char* const* a) { return Compare(a[0], a[1]); });
  IntegerRow("FastLen", kScanTarget, {kSource}, 20,
             [](const char* const* a) { return FastLen(a[0]); });
  IntegerRow("MidAscii", kScanTarget, {kSource}, 'm',
             [](const char* const* a) { return MidAsc(a[0], 18); });
}

void RegisterCharRows() {
  StringRow("Tab", kCopyTarget, {}, "\t",
            [](const char* const*) { return Tab(nullptr); });
  StringRow("Lf", kCopyTarget, {}, "\n",
            [](const char* const*) { return LF(nullptr); });
  StringRow("Cr", kCopyTarget, {}, "\r",
            [](const char* const*) { return CR(nullptr); });
  StringRow("CrLf", kCopyTarget, {}, "\r\n",
            [](const char* const*) { return CRLF(nullptr); });
  StringRow("FastLeft", kCopyTarget, {kSource}, "the cat sa",
            [](const char* const* a) { return FastLeft(nullptr, a[0], 10); });
  StringRow("FastRight", kCopyTarget, {kSource}, "t on a mat",
            [](const char* const* a) { return FastRight(nullptr, a[0], 10); });
  StringRow("FastUpper", kCopyTarget, {kSource}, "THE CAT SAT ON A MAT",
            [](const char* const* a) { return FastUpper(nullptr, a[0]); });
  StringRow("FastLower", kCopyTarget, {"THE CAT SAT ON A MAT"}, kSource,
            [](const char* const* a) { return FastLower(nullptr, a[0]); });
}

void RegisterEditRows() {
  StringRow("Mid", kCopyTarget, {kSource}, "cat sat",
            [](const char* const* a) { return Mid(nullptr, a[0], 5, 7); });
  StringRow(
      "Insert", kCopyTarget, {kSource, "fat, "}, "the fat, cat sat on a mat",
      [](const char* const* a) { return Insert(nullptr, a[0], 5, a[1]); });
  StringRow(
      "RemoveSection", kCopyTarget, {kSource}, "the sat on a mat",
      [](const char* const* a) { return RemoveSection(nullptr, a[0], 5, 4); });
  StringRow(
      "Remove", kCopyTarget, {kSource, "cat "}, "the sat on a mat",
      [](const char* const* a) { return RemoveString(nullptr, a[0], a[1]); });
  StringRow("RemoveAll", kCopyTarget, {kLine, "cat "},
            "the sat on a mat; the ate a rat.", [](const char* const* a) {
              return RemoveStringAll(nullptr, a[0], a[1]);
            });
  StringRow("Replace", kCopyTarget, {kSource, "cat", "dog"},
            "the dog sat on a mat", [](const char* const* a) {
              return ReplaceString(nullptr, a[0], a[1], a[2]);
            });
  StringRow("ReplaceSection", kCopyTarget, {kSource, "dog"},
            "the dog sat on a mat", [](const char* const* a) {
              return ReplaceSection(nullptr, a[0], 5, 3, a[1]);
            });
  StringRow("ReplaceAll", kCopyTarget, {kLine, "cat", "bird"},
            "the bird sat on a mat; the bird ate a rat.",
            [](const char* const* a) {
              return ReplaceStringAll(nullptr, a[0], a[1], a[2]);
            });
  StringRow("Trim", kCopyTarget, {kPadded}, "the cat sat on a",
            [](const char* const* a) { return Trim(nullptr, a[0]); });
  StringRow("TrimLeft", kCopyTarget, {kPadded}, "the cat sat on a  ",
            [](const char* const* a) { return TrimLeft(nullptr, a[0]); });
  StringRow("TrimRight", kCopyTarget, {kPadded}, "  the cat sat on a",
            [](const char* const* a) { return TrimRight(nullptr, a[0]); });
  StringRow("TrimChar", kCopyTarget, {kPadded, " \t"}, "the cat sat on a",
            [](const char* const* a) { return TrimChar(nullptr, a[0], a[1]); });
  StringRow(
      "TrimLeftChar", kCopyTarget, {kPadded, " \t"}, "the cat sat on a  ",
      [](const char* const* a) { return TrimLeftChar(nullptr, a[0], a[1]); });
  StringRow(
      "TrimRightChar", kCopyTarget, {kPadded, " \t"}, "  the cat sat on a",
      [](const char* const* a) { return TrimRightChar(nullptr, a[0], a[1]); });
  StringRow("PadLeft", kCopyTarget, {kSource}, "          the cat sat on a mat",
            [](const char* const* a) { return PadLeft(nullptr, a[0], 30); });
  StringRow("PadRight", kCopyTarget, {kSource},
            "the cat sat on a mat          ",
            [](const char* const* a) { return PadRight(nullptr, a[0], 30); });
  StringRow("PadLeftChar", kCopyTarget, {kSource, "*"},
            "**********the cat sat on a mat", [](const char* const* a) {
              return PadLeftChar(nullptr, a[0], a[1], 30);
            });
  StringRow("PadRightChar", kCopyTarget, {kSource, "*"},
            "the cat sat on a mat**********", [](const char* const* a) {
              return PadRightChar(nullptr, a[0], a[1], 30);
            });
  StringRow("Quote", kCopyTarget, {kSource}, "\"the cat sat on a mat\"",
            [](const char* const* a) { return QuoteString(nullptr, a[0]); });
  StringRow("QuoteCharacter", kCopyTarget, {}, "\"",
            [](const char* const*) { return Quote(nullptr); });
  StringRow("Unquote", kCopyTarget, {kQuoted}, "the cat sat on a m",
            [](const char* const* a) { return UnQuoteString(nullptr, a[0]); });
  StringRow("DelimitCsv", kCopyTarget, {kWithComma}, "\"the cat, sat on a ma\"",
            [](const char* const* a) { return DelimitCsv(nullptr, a[0]); });
  StringRow("DelimitCsvPlain", kCopyTarget, {kSource}, kSource,
            [](const char* const* a) { return DelimitCsv(nullptr, a[0]); });
  StringRow(
      "DelimitCsvForce", kCopyTarget, {kSource}, "\"the cat sat on a mat\"",
      [](const char* const* a) { return DelimitCsvForce(nullptr, a[0], 1); });
  StringRow("ExpandEnvironment", kCopyTarget, {kSource}, kSource,
            [](const char* const* a) { return ExpandEnv(nullptr, a[0]); });
}

// The split queries that make a string, on the store of a 20-byte split.
void SplitSource() { SplitString(kSource, " "); }

void RegisterSplitRows() {
  StringRow(
      "SplitWord", kCopyTarget, {}, "cat",
      [](const char* const*) { return SplitWord(nullptr, 2); }, SplitSource);
  StringRow(
      "SplitDelimiter", kCopyTarget, {}, " ",
      [](const char* const*) { return SplitDelimiter(nullptr, 2); },
      SplitSource);
}

[[maybe_unused]] const bool registered = [] {
  RegisterSearchRows();
  RegisterCharRows();
  RegisterEditRows();
  RegisterSplitRows();
  return true;
}();

}  // namespace
}  // namespace vellum::bench
