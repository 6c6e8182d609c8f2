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

// The string arguments of a row, in order; at most four. Each row calls its
// export through a pointer the compiler cannot see through, as the host
// does, and `call` only passes it the row's arguments: a lambda, inlined
// into the loop, such as [](auto* f, const char* const* a) { ... }.
using Args = std::vector<std::string>;

// The targets of the rows: the scans that answer with a number, the
// substring searches, and every command that makes a string.
constexpr double kScanTarget = 1.5;
constexpr double kSearchTarget = 2.0;
constexpr double kCopyTarget = 1.3;

// The arguments of a row, each in a block of its own from the C heap, as
// the host's strings are, rather than inside a std::string whose bytes may
// lie anywhere in a 16-byte block. Each iteration reads their addresses
// through DoNotOptimize, so that no call can be hoisted out of the loop.
struct ArgList {
  explicit ArgList(const Args& args) : count(args.size()) {
    for (size_t i = 0; i < count; ++i) {
      char* copy = static_cast<char*>(std::malloc(args[i].size() + 1));
      std::memcpy(copy, args[i].c_str(), args[i].size() + 1);
      text[i] = copy;
    }
  }
  ~ArgList() {
    for (size_t i = 0; i < count; ++i) std::free(const_cast<char*>(text[i]));
  }
  ArgList(const ArgList&) = delete;
  ArgList& operator=(const ArgList&) = delete;

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

// Calls the export through `call` on the row's arguments: once, handing
// the result to `check`, then once per iteration, handing each to `use`.
template <typename Export, typename Call, typename Check, typename Use>
void CheckAndTime(State& state, const Args& args, Export* command, Call call,
                  Check check, Use use) {
  ArgList list(args);
  Export* const export_fn = Opaque(command);
  check(call(export_fn, list.text));
  TimeCalls(
      state, list,
      [=](const char* const* text) { return call(export_fn, text); }, use);
}

// Registers BM_Short_<name> and its floor BM_Short_<name>_floor. A row whose
// command answers otherwise than its floor assumes stops the program.
template <typename Export, typename Call>
void IntegerRow(const std::string& name, double target, Args args,
                int32_t expected, Export* command, Call call) {
  const std::string row = "BM_Short_" + name;
  RegisterBenchmark(row, [=](State& state) {
    InstallPlainHost();
    CheckAndTime(
        state, args, command, call,
        [&](int32_t got) {
          if (got != expected) {
            WrongResult(row, std::to_string(got), std::to_string(expected));
          }
        },
        [](int32_t got) { DoNotOptimize(got); });
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
template <typename Export, typename Call>
void StringRow(const std::string& name, double target, Args args,
               std::string expected, Export* command, Call call,
               void (*prepare)() = nullptr) {
  const std::string row = "BM_Short_" + name;
  RegisterBenchmark(row, [=](State& state) {
    InstallPlainHost();
    if (prepare != nullptr) prepare();
    CheckAndTime(
        state, args, command, call,
        [&](HostString got) {
          std::string bytes = got != nullptr ? got : "";
          Release(got);
          if (bytes != expected) WrongResult(row, bytes, expected);
        },
        [](HostString got) { Release(got); });
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

// How a row passes its arguments to its export, for the shapes that
// several rows share; the others spell theirs out.
constexpr auto kTwoStrings = [](auto* f, const char* const* a) {
  return f(a[0], a[1]);
};
constexpr auto kOldOnly = [](auto* f, const char* const*) {
  return f(nullptr);
};
constexpr auto kOldAndString = [](auto* f, const char* const* a) {
  return f(nullptr, a[0]);
};
constexpr auto kOldAndTwoStrings = [](auto* f, const char* const* a) {
  return f(nullptr, a[0], a[1]);
};
constexpr auto kOldAndThreeStrings = [](auto* f, const char* const* a) {
  return f(nullptr, a[0], a[1], a[2]);
};

void RegisterSearchRows() {
  IntegerRow("Instr", kSearchTarget, {kSource, "mat"}, 18, Instr_2,
             kTwoStrings);
  IntegerRow("InstrAtStart", kSearchTarget, {kSource, "the"}, 1, Instr_2,
             kTwoStrings);
  IntegerRow("InstrFrom1", kSearchTarget, {kSource, "mat"}, 18, Instr_3,
             [](auto* f, const char* const* a) { return f(a[0], a[1], 1); });
  IntegerRow("StringCount", kSearchTarget, {kSource, "at "}, 2, CountString,
             kTwoStrings);
  IntegerRow("LastInstr", kSearchTarget, {kSource, "at "}, 10, ReverseInstr,
             kTwoStrings);
  IntegerRow("FindChar", kScanTarget, {kSource, ",;m"}, 18, FindChar_2,
             kTwoStrings);
  IntegerRow("FindCharFrom1", kScanTarget, {kSource, ",;m"}, 18, FindChar_3,
             [](auto* f, const char* const* a) { return f(a[0], a[1], 1); });
  IntegerRow("FindAscii", kScanTarget, {kSource}, 18, FindAsc_2,
             [](auto* f, const char* const* a) { return f(a[0], 'm'); });
  IntegerRow("FindAsciiFrom1", kScanTarget, {kSource}, 18, FindAsc_3,
             [](auto* f, const char* const* a) { return f(a[0], 'm', 1); });
  IntegerRow("Compare", kScanTarget, {kSource, kSource}, 0, Compare,
             kTwoStrings);
  IntegerRow("FastLen", kScanTarget, {kSource}, 20, FastLen,
             [](auto* f, const char* const* a) { return f(a[0]); });
  IntegerRow("MidAscii", kScanTarget, {kSource}, 'm', MidAsc,
             [](auto* f, const char* const* a) { return f(a[0], 18); });
}

void RegisterCharRows() {
  StringRow("Tab", kCopyTarget, {}, "\t", Tab, kOldOnly);
  StringRow("Lf", kCopyTarget, {}, "\n", LF, kOldOnly);
  StringRow("Cr", kCopyTarget, {}, "\r", CR, kOldOnly);
  StringRow("CrLf", kCopyTarget, {}, "\r\n", CRLF, kOldOnly);
  StringRow("FastLeft", kCopyTarget, {kSource}, "the cat sa", FastLeft,
            [](auto* f, const char* const* a) { return f(nullptr, a[0], 10); });
  StringRow("FastRight", kCopyTarget, {kSource}, "t on a mat", FastRight,
            [](auto* f, const char* const* a) { return f(nullptr, a[0], 10); });
  StringRow("FastUpper", kCopyTarget, {kSource}, "THE CAT SAT ON A MAT",
            FastUpper, kOldAndString);
  StringRow("FastLower", kCopyTarget, {"THE CAT SAT ON A MAT"}, kSource,
            FastLower, kOldAndString);
}

void RegisterEditRows() {
  StringRow(
      "Mid", kCopyTarget, {kSource}, "cat sat", Mid,
      [](auto* f, const char* const* a) { return f(nullptr, a[0], 5, 7); });
  StringRow(
      "Insert", kCopyTarget, {kSource, "fat, "}, "the fat, cat sat on a mat",
      Insert,
      [](auto* f, const char* const* a) { return f(nullptr, a[0], 5, a[1]); });
  StringRow("RemoveSection", kCopyTarget, {kSource}, "the sat on a mat",
            RemoveSection, [](auto* f, const char* const* a) {
              return f(nullptr, a[0], 5, 4);
            });
  StringRow("Remove", kCopyTarget, {kSource, "cat "}, "the sat on a mat",
            RemoveString, kOldAndTwoStrings);
  StringRow("RemoveAll", kCopyTarget, {kLine, "cat "},
            "the sat on a mat; the ate a rat.", RemoveStringAll,
            kOldAndTwoStrings);
  StringRow("Replace", kCopyTarget, {kSource, "cat", "dog"},
            "the dog sat on a mat", ReplaceString, kOldAndThreeStrings);
  StringRow("ReplaceSection", kCopyTarget, {kSource, "dog"},
            "the dog sat on a mat", ReplaceSection,
            [](auto* f, const char* const* a) {
              return f(nullptr, a[0], 5, 3, a[1]);
            });
  StringRow("ReplaceAll", kCopyTarget, {kLine, "cat", "bird"},
            "the bird sat on a mat; the bird ate a rat.", ReplaceStringAll,
            kOldAndThreeStrings);
  StringRow("Trim", kCopyTarget, {kPadded}, "the cat sat on a", Trim,
            kOldAndString);
  StringRow("TrimLeft", kCopyTarget, {kPadded}, "the cat sat on a  ", TrimLeft,
            kOldAndString);
  StringRow("TrimRight", kCopyTarget, {kPadded}, "  the cat sat on a",
            TrimRight, kOldAndString);
  StringRow("TrimChar", kCopyTarget, {kPadded, " \t"}, "the cat sat on a",
            TrimChar, kOldAndTwoStrings);
  StringRow("TrimLeftChar", kCopyTarget, {kPadded, " \t"}, "the cat sat on a  ",
            TrimLeftChar, kOldAndTwoStrings);
  StringRow("TrimRightChar", kCopyTarget, {kPadded, " \t"},
            "  the cat sat on a", TrimRightChar, kOldAndTwoStrings);
  StringRow("PadLeft", kCopyTarget, {kSource}, "          the cat sat on a mat",
            PadLeft,
            [](auto* f, const char* const* a) { return f(nullptr, a[0], 30); });
  StringRow("PadRight", kCopyTarget, {kSource},
            "the cat sat on a mat          ", PadRight,
            [](auto* f, const char* const* a) { return f(nullptr, a[0], 30); });
  StringRow(
      "PadLeftChar", kCopyTarget, {kSource, "*"},
      "**********the cat sat on a mat", PadLeftChar,
      [](auto* f, const char* const* a) { return f(nullptr, a[0], a[1], 30); });
  StringRow(
      "PadRightChar", kCopyTarget, {kSource, "*"},
      "the cat sat on a mat**********", PadRightChar,
      [](auto* f, const char* const* a) { return f(nullptr, a[0], a[1], 30); });
  StringRow("Quote", kCopyTarget, {kSource}, "\"the cat sat on a mat\"",
            QuoteString, kOldAndString);
  StringRow("QuoteCharacter", kCopyTarget, {}, "\"", Quote, kOldOnly);
  StringRow("Unquote", kCopyTarget, {kQuoted}, "the cat sat on a m",
            UnQuoteString, kOldAndString);
  StringRow("DelimitCsv", kCopyTarget, {kWithComma}, "\"the cat, sat on a ma\"",
            DelimitCsv, kOldAndString);
  StringRow("DelimitCsvPlain", kCopyTarget, {kSource}, kSource, DelimitCsv,
            kOldAndString);
  StringRow("DelimitCsvForce", kCopyTarget, {kSource},
            "\"the cat sat on a mat\"", DelimitCsvForce,
            [](auto* f, const char* const* a) { return f(nullptr, a[0], 1); });
  StringRow("ExpandEnvironment", kCopyTarget, {kSource}, kSource, ExpandEnv,
            kOldAndString);
}

// The split queries that make a string, on the store of a 20-byte split.
void SplitSource() { SplitString(kSource, " "); }

void RegisterSplitRows() {
  StringRow(
      "SplitWord", kCopyTarget, {}, "cat", SplitWord,
      [](auto* f, const char* const*) { return f(nullptr, 2); }, SplitSource);
  StringRow(
      "SplitDelimiter", kCopyTarget, {}, " ", SplitDelimiter,
      [](auto* f, const char* const*) { return f(nullptr, 2); }, SplitSource);
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
