// Drives every row of the command table, as the host emulator reads it, with
// arbitrary strings (null and empty included) and integers, through the
// emulator's audited call: the module is loaded from its file, each string
// argument ends at an unreadable page, and every rule of the host string
// exchange is checked on every call. Splits and queries interleave freely,
// since the rows are picked by the input.
//
// Input: a script of calls. Each call is a row selector byte, a flags byte
// (bits 0-4: which string parameters are null; bit 5: which of the two runs
// gets a live old result), then the arguments in row order: strings end at
// a 0 byte, integers are read by FuzzInput::TakeInt32. Every call runs twice,
// once with an old result and once without, and both runs must agree unless
// the row draws random numbers.
//
// Set VELLUM_FUZZ_TRACE to print every call as a case-file line, which turns
// a crashing input into a reproducer. VELLUM_FUZZ_SKIP names exports
// (comma-separated) whose rows are passed over, so that the other rows can
// be fuzzed on while a finding in one is open.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "emulator/audited_call.h"
#include "emulator/case_file.h"
#include "emulator/loaded_module.h"
#include "fake_core/install_fake_core.h"
#include "fuzz/fuzz_input.h"
#include "table/command_table.h"

namespace vellum::fuzz {
namespace {

using emulator::CallOutcome;
using emulator::LoadedModule;
using emulator::Value;
using table::CommandRow;

// Calls per input: enough for split/query interleavings, few enough that one
// input stays fast.
constexpr int kMaxCallsPerInput = 128;

struct Harness {
  std::unique_ptr<LoadedModule> module;
  std::vector<const CommandRow*> rows;      // the rows to drive
  const CommandRow* reset_split = nullptr;  // SPLIT STRING, run on nulls
  bool trace = false;
};

Harness& TheHarness() {
  static Harness* harness = [] {
    auto* h = new Harness;
    InstallFakeCore();
    std::string error;
    h->module =
        LoadedModule::Load(VELLUM_FUZZ_MODULE, VELLUM_FUZZ_TABLE, error);
    if (!h->module || h->module->rows().empty()) {
      std::fprintf(stderr, "command_fuzzer: %s\n",
                   h->module ? "the command table has no rows" : error.c_str());
      std::abort();
    }
    const char* skip = std::getenv("VELLUM_FUZZ_SKIP");
    const std::string skipped = "," + std::string(skip ? skip : "") + ",";
    for (const CommandRow& row : h->module->rows()) {
      if (row.export_name == "SplitString" && row.param_types == "SS") {
        h->reset_split = &row;
      }
      if (skipped.find("," + row.export_name + ",") == std::string::npos) {
        h->rows.push_back(&row);
      }
    }
    if (h->rows.empty()) {
      std::fprintf(stderr, "command_fuzzer: VELLUM_FUZZ_SKIP leaves no row\n");
      std::abort();
    }
    h->trace = std::getenv("VELLUM_FUZZ_TRACE") != nullptr;
    return h;
  }();
  return *harness;
}

// The call as a case file writes it.
std::string CallText(const CommandRow& row, const std::vector<Value>& args) {
  std::string text = row.name + "(";
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) text += ", ";
    if (args[i].kind == Value::kString)
      text += emulator::Quote(args[i].text);
    else if (args[i].kind == Value::kInteger)
      text += std::to_string(args[i].integer);
    else
      text += "null";
  }
  return text + ")";
}

[[noreturn]] void Fail(const CommandRow& row, const std::vector<Value>& args,
                       const std::string& what) {
  std::fprintf(stderr, "\n%s\n    %s\n", CallText(row, args).c_str(),
               what.c_str());
  std::abort();
}

// Parameters that set the result's length: every "Size", and the positions
// of INSERT$ and REPLACE$, before which a gap is filled with spaces.
bool SizesResult(const std::string& name) {
  return name == "Size" || name == "Insert Position" ||
         name == "Start Position";
}

// At the largest position INSERT$ and REPLACE$ need 2^31 - 1 + M bytes: with
// an insert string of M >= 1 bytes the checked allocation must refuse that,
// which is worth testing; with none it would be a real 2 GiB string of
// spaces, beyond the fuzzer's memory limit, so the position is folded then.
void AvoidHugeGap(const CommandRow& row, std::vector<Value>& args) {
  size_t insert = row.param_names.size();
  for (size_t i = 0; i < row.param_names.size(); ++i) {
    if (row.param_names[i] == "Insert String") insert = i;
  }
  if (insert >= args.size() || !args[insert].text.empty()) return;
  for (size_t i = 0; i < args.size(); ++i) {
    bool position =
        row.param_names[i] != "Size" && SizesResult(row.param_names[i]);
    if (position && args[i].integer == std::numeric_limits<int32_t>::max()) {
      args[i].integer %= 4097;
    }
  }
}

std::vector<Value> TakeArguments(const CommandRow& row, FuzzInput& input,
                                 uint8_t nulls) {
  std::vector<Value> args;
  for (size_t i = 0; i < row.param_types.size(); ++i) {
    char type = row.param_types[i];
    Value value;
    if (type == 'S') {
      if ((nulls >> i & 1) == 0) {
        value.kind = Value::kString;
        value.text = input.TakeString();
      }
    } else {
      int32_t number = input.TakeInt32();
      if (i < row.param_names.size() && SizesResult(row.param_names[i])) {
        number = ClampSize(number);
      }
      value.kind = Value::kInteger;
      value.integer = number;
    }
    args.push_back(value);
  }
  AvoidHugeGap(row, args);
  return args;
}

bool DrawsRandomNumbers(const CommandRow& row) {
  return row.export_name.rfind("Generate", 0) == 0;
}

bool SameOutcome(const CallOutcome& a, const CallOutcome& b) {
  return a.is_null == b.is_null && a.text == b.text && a.integer == b.integer &&
         a.error == b.error;
}

// One audited run and the checks that hold for every row.
CallOutcome RunChecked(const CommandRow& row, const std::vector<Value>& args,
                       bool pass_old_result) {
  Harness& harness = TheHarness();
  // Traced to stderr, the call before it runs, so that a crash names it.
  if (harness.trace) std::fprintf(stderr, "%s", CallText(row, args).c_str());
  CallOutcome outcome =
      emulator::RunAudited(*harness.module, row, args, pass_old_result);
  if (harness.trace) {
    std::fprintf(stderr, "%s\n", emulator::Describe(row, outcome).c_str());
  }
  for (const std::string& violation : outcome.violations) {
    Fail(row, args, "audit: " + violation);
  }
  if (outcome.error != 0 && outcome.error != 110 && outcome.error != 112) {
    Fail(row, args, "stored error " + std::to_string(outcome.error));
  }
  // A failed argument check gives null or 0, nothing else.
  if (outcome.error != 0 && (!outcome.is_null || outcome.integer != 0)) {
    Fail(row, args, "a result despite error " + std::to_string(outcome.error));
  }
  return outcome;
}

void RunCall(const CommandRow& row, FuzzInput& input) {
  uint8_t flags = input.TakeByte();
  std::vector<Value> args = TakeArguments(row, input, flags & 0x1F);
  bool old_result_first = (flags & 0x20) == 0;
  CallOutcome first = RunChecked(row, args, old_result_first);
  if (!row.is_function) return;  // a split: running it again changes nothing
  CallOutcome second = RunChecked(row, args, !old_result_first);
  if (!DrawsRandomNumbers(row) && !SameOutcome(first, second)) {
    Fail(row, args,
         "two runs disagree:" + emulator::Describe(row, first) + " then" +
             emulator::Describe(row, second));
  }
}

}  // namespace
}  // namespace vellum::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vellum::fuzz::TheHarness();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellum::fuzz;
  Harness& harness = TheHarness();
  // The split store outlives calls; empty it so that the input alone decides
  // what the queries see.
  if (harness.reset_split) {
    RunChecked(*harness.reset_split, {Value{}, Value{}}, false);
  }
  FuzzInput input(data, size);
  for (int calls = 0; calls < kMaxCallsPerInput && !input.empty(); ++calls) {
    RunCall(*harness.rows[input.TakeByte() % harness.rows.size()], input);
  }
  return 0;
}
