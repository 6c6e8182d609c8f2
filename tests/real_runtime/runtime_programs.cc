// Prepares programs for the real runtime and checks what they wrote; the
// stage in tests/real_runtime.sh compiles and runs them under Wine.
//   runtime_programs print-to-file PROGRAM.dba COPY.dba FILE
//       writes a copy of the program whose printed lines go to FILE
//   runtime_programs every-row TABLE.rc PROGRAM.dba
//       writes a program that calls every row of the table, and beside it
//       PROGRAM.txt, what it prints
//   runtime_programs compare PROGRAM.dba PRINTED
//       compares the lines in PRINTED with PROGRAM.txt (and PROGRAM.match),
//       as the host emulator compares what the program printed there
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "emulator/basic/basic_error.h"
#include "emulator/expected_output.h"
#include "table/command_table.h"
#include "tests/real_runtime/every_row_program.h"
#include "tests/real_runtime/print_to_file.h"

namespace real_runtime {
namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

int Fail(const std::string& what) {
  std::printf("%s\n", what.c_str());
  return 1;
}

int PrintToFileCommand(const std::string& program, const std::string& copy,
                       const std::string& file_name) {
  std::string source;
  if (!emulator::ReadFile(program, source))
    return Fail(program + ": cannot read");
  try {
    if (!WriteFile(copy, PrintToFile(source, file_name)))
      return Fail(copy + ": cannot write");
  } catch (const emulator::basic::BasicError& e) {
    return Fail(program + ":" + std::to_string(e.line()) + ": " + e.what());
  }
  return 0;
}

int EveryRowCommand(const std::string& table_script,
                    const std::string& program) {
  std::string script, refusal;
  if (!emulator::ReadFile(table_script, script))
    return Fail(table_script + ": cannot read");
  std::optional<std::vector<table::CommandRow>> rows =
      table::ReadCommandTable(table::StoredRowsOfScript(script), refusal);
  if (!rows) return Fail(table_script + ": " + refusal);
  std::string stem = program.substr(0, program.rfind('.'));
  if (!WriteFile(program, EveryRowProgram(*rows)) ||
      !WriteFile(stem + ".txt", EveryRowPrinted() + "\n"))
    return Fail(program + ": cannot write");
  return 0;
}

int CompareCommand(const std::string& program, const std::string& printed) {
  std::string output;
  if (!emulator::ReadFile(printed, output))
    return Fail("the program wrote no " + printed);
  std::string problem = emulator::OutputProblem(program, output);
  if (!problem.empty()) return Fail(problem);
  return 0;
}

}  // namespace
}  // namespace real_runtime

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "print-to-file")
    return real_runtime::PrintToFileCommand(args[1], args[2], args[3]);
  if (args.size() == 3 && args[0] == "every-row")
    return real_runtime::EveryRowCommand(args[1], args[2]);
  if (args.size() == 3 && args[0] == "compare")
    return real_runtime::CompareCommand(args[1], args[2]);
  std::fprintf(stderr,
               "usage: runtime_programs print-to-file PROGRAM.dba COPY.dba "
               "FILE\n"
               "       runtime_programs every-row TABLE.rc PROGRAM.dba\n"
               "       runtime_programs compare PROGRAM.dba PRINTED\n");
  return 2;
}
