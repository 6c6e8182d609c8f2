// The host emulator: loads the plug-in as the host does and runs scripts of
// command calls against it, auditing each call.
//   host_emulator [--module PATH] [--table SCRIPT] run FILE      prints each call
//   host_emulator [--module PATH] [--table SCRIPT] check FILE...  compares
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/audited_call.h"
#include "emulator/case_file.h"
#include "emulator/loaded_module.h"

namespace emulator {
namespace {

struct Tally {
  int passed = 0;
  int failed = 0;
};

bool Matches(const Call& call, const CommandRow& row, const CallOutcome& got) {
  if (got.error != call.expected_error) return false;
  if (!call.expected) return !row.is_function;
  const Value& want = *call.expected;
  if (call.expected_is_regex) {
    if (got.is_null && row.returns_string()) return false;
    std::string text = row.returns_string() ? got.text : std::to_string(got.integer);
    return std::regex_match(text, std::regex(want.text));
  }
  if (row.returns_string()) {
    if (want.kind == Value::kNull) return got.is_null;
    return want.kind == Value::kString && !got.is_null && got.text == want.text;
  }
  return want.kind == Value::kInteger && got.integer == static_cast<int32_t>(want.integer);
}

// Runs one call; string functions run twice, with and without an old result,
// and must agree unless the expectation is a pattern (random results).
bool RunCall(const LoadedModule& module, const Call& call, const std::string& file,
             bool check) {
  const CommandRow* row = FindRow(module.rows(), call.name, call.arguments.size());
  auto report = [&](const std::string& what) {
    std::printf("%s:%d: %s\n    %s\n", file.c_str(), call.line, call.source.c_str(),
                what.c_str());
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
  bool ok = true;
  int runs = row->returns_string() ? 2 : 1;
  for (int run = 0; run < runs; ++run) {
    CallOutcome got = RunAudited(module, *row, call.arguments, run == 0);
    for (const std::string& violation : got.violations) {
      report("audit: " + violation);
      ok = false;
    }
    if (!check) {
      std::printf("%s%s\n", call.call_text.c_str(), Describe(*row, got).c_str());
      break;
    }
    if (!Matches(call, *row, got)) {
      report("got" + Describe(*row, got) + (run ? " (null old result)" : ""));
      ok = false;
    }
  }
  return ok;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::stringstream content;
  content << file.rdbuf();
  text = content.str();
  return true;
}

int Main(int argc, char** argv) {
#if defined(_WIN32)
  std::string module_path = "Vellum3Util_16.dll";
#else
  std::string module_path = "./Vellum3Util_16.so";
#endif
  std::string table_script = "host/module.rc";
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  for (; i + 1 < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
    if (args[i] == "--module") module_path = args[i + 1];
    else if (args[i] == "--table") table_script = args[i + 1];
  }
  if (i >= args.size() || (args[i] != "run" && args[i] != "check")) {
    std::fprintf(stderr,
                 "usage: host_emulator [--module PATH] [--table SCRIPT] run|check FILE...\n");
    return 2;
  }
  bool check = args[i] == "check";

  ProvideCoreLibrary();
  std::string error;
  auto module = LoadedModule::Load(module_path, table_script, error);
  if (!module) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  Tally tally;
  for (const std::string& problem : CheckTable(module->rows())) {
    std::printf("command table: %s\n", problem.c_str());
    ++tally.failed;
  }
  for (++i; i < args.size(); ++i) {
    std::string text;
    if (!ReadFile(args[i], text)) {
      std::printf("%s: cannot read\n", args[i].c_str());
      ++tally.failed;
      continue;
    }
    std::vector<std::string> errors;
    std::vector<Call> calls = ParseCaseFile(text, errors);
    for (const std::string& e : errors) {
      std::printf("%s: %s\n", args[i].c_str(), e.c_str());
      ++tally.failed;
    }
    for (const Call& call : calls) {
      if (RunCall(*module, call, args[i], check)) ++tally.passed;
      else ++tally.failed;
    }
  }
  std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace emulator

int main(int argc, char** argv) { return emulator::Main(argc, argv); }
