// The host emulator: loads the plug-in as the host does and runs scripts of
// command calls against it, auditing each call (command_line.h says how).
// Everything runs on a stack of the host's size (host_stack.h).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "emulator/audited_call.h"
#include "emulator/basic/basic_program.h"
#include "emulator/case_file.h"
#include "emulator/command_line.h"
#include "emulator/expected_output.h"
#include "emulator/host_stack.h"
#include "emulator/loaded_module.h"
#include "emulator/pattern.h"
#include "emulator/progress_log.h"
#include "fake_core/install_fake_core.h"

namespace emulator {
namespace {

struct Tally {
  int passed = 0;
  int failed = 0;
  void Count(bool ok) { ++(ok ? passed : failed); }
};

// `pattern` is the expectation's, made from it, when it is one.
bool Matches(const Call& call, const Pattern* pattern,
             const table::CommandRow& row, const CallOutcome& got) {
  if (got.error != call.expected_error) return false;
  if (!call.expected) return !row.is_function;
  const Value& want = *call.expected;
  if (pattern != nullptr) {
    if (got.is_null && row.returns_string()) return false;
    return pattern->Matches(row.returns_string() ? got.text
                                                 : std::to_string(got.integer));
  }
  if (row.returns_string()) {
    if (want.kind == Value::kNull) return got.is_null;
    return want.kind == Value::kString && !got.is_null && got.text == want.text;
  }
  return want.kind == Value::kInteger &&
         got.integer == static_cast<int32_t>(want.integer);
}

// Runs one call; string functions run twice, with and without an old result,
// and must agree unless the expectation is a pattern (random results).
bool RunCall(const LoadedModule& module, const Call& call,
             const std::string& file, bool check) {
  const table::CommandRow* row =
      table::FindRow(module.rows(), call.name, call.arguments.size());
  auto report = [&](const std::string& what) {
    std::printf("%s:%d: %s\n    %s\n", file.c_str(), call.line,
                call.source.c_str(), what.c_str());
  };
  if (row == nullptr) {
    report("no row for " + call.name + " with " +
           std::to_string(call.arguments.size()) + " arguments");
    return false;
  }
  for (size_t i = 0; i < call.arguments.size(); ++i) {
    char type = row->param_types[i];
    bool is_string = call.arguments[i].kind != Value::kInteger;
    if ((type == 'S') != is_string) {
      report("argument " + std::to_string(i + 1) + " has the wrong type");
      return false;
    }
  }
  std::optional<Pattern> pattern;
  if (call.expected_is_pattern) {
    std::string error;
    pattern = Pattern::Make(call.expected->text, error);
    if (!pattern) {
      report("bad pattern: " + error);
      return false;
    }
  }
  bool ok = true;
  int runs = row->returns_string() ? 2 : 1;
  for (int run = 0; run < runs; ++run) {
    CallOutcome got = RunAudited(module, *row, call.arguments, run == 0);
    for (const std::string& violation : got.violations) {
      report("audit: " + violation);
      ok = false;
    }
    if (!check) {
      std::printf("%s%s\n", call.call_text.c_str(),
                  Describe(*row, got).c_str());
      break;
    }
    if (!Matches(call, pattern ? &*pattern : nullptr, *row, got)) {
      report("got" + Describe(*row, got) + (run ? " (null old result)" : ""));
      ok = false;
    }
  }
  return ok;
}

bool CheckBasicProgram(const LoadedModule& module, const std::string& path) {
  std::string source;
  if (!ReadFile(path, source)) {
    std::printf("%s: cannot read\n", path.c_str());
    return false;
  }
  BasicRun run = RunBasicProgram(module, source);
  std::string problem =
      run.error.empty() ? OutputProblem(path, run.output) : run.error;
  if (!problem.empty()) std::printf("%s: %s\n", path.c_str(), problem.c_str());
  return problem.empty();
}

// A program file as itself, a folder as the programs in it, in name order.
std::vector<std::string> ProgramsIn(const std::string& path) {
  if (!std::filesystem::is_directory(path)) return {path};
  std::vector<std::string> programs;
  for (const auto& entry : std::filesystem::directory_iterator(path)) {
    if (entry.path().extension() == ".dba")
      programs.push_back(entry.path().string());
  }
  std::sort(programs.begin(), programs.end());
  return programs;
}

void RunCaseFile(const LoadedModule& module, const std::string& path,
                 bool check, ProgressLog& progress, Tally& tally) {
  std::string text;
  if (!ReadFile(path, text)) {
    std::printf("%s: cannot read\n", path.c_str());
    ++tally.failed;
    return;
  }
  std::vector<std::string> errors;
  std::vector<Call> calls = ParseCaseFile(text, errors);
  for (const std::string& e : errors) {
    std::printf("%s: %s\n", path.c_str(), e.c_str());
    ++tally.failed;
  }
  for (const Call& call : calls) {
    progress.At(path + ":" + std::to_string(call.line) + ": " + call.source);
    tally.Count(RunCall(module, call, path, check));
  }
}

int Main(int argc, char** argv) {
  std::optional<Options> options =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  InstallFakeCore();
  std::string error;
  auto module =
      LoadedModule::Load(options->module_path, options->table_script, error);
  if (!module) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  ProgressLog progress(options->progress_path);
  Tally tally;
  for (const std::string& problem : table::CheckTable(module->rows())) {
    std::printf("command table: %s\n", problem.c_str());
    ++tally.failed;
  }
  for (const std::string& path : options->files) {
    if (options->mode != "basic") {
      RunCaseFile(*module, path, options->mode == "check", progress, tally);
      continue;
    }
    for (const std::string& program : ProgramsIn(path)) {
      progress.At(program);
      tally.Count(CheckBasicProgram(*module, program));
    }
  }
  std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace emulator

int main(int argc, char** argv) {
  return emulator::RunOnHostStack([&] { return emulator::Main(argc, argv); });
}
