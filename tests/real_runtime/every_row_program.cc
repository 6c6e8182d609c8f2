#include "tests/real_runtime/every_row_program.h"

namespace real_runtime {

std::string EveryRowProgram(const std::vector<table::CommandRow>& rows) {
  std::string program = "rem Calls every row of the command table once.\n";
  for (const table::CommandRow& row : rows) {
    std::string arguments;
    for (char type : row.param_types)
      arguments += (arguments.empty() ? "" : ", ") +
                   std::string(type == 'S' ? "\"a,b\"" : "1");
    if (!row.is_function) {
      program += row.name + (arguments.empty() ? "" : " " + arguments);
    } else {
      program += std::string(row.returns_string() ? "text$" : "number") +
                 " = " + row.name + "(" + arguments + ")";
    }
    program += "\n";
  }
  return program + "print \"" + EveryRowPrinted() + "\"\n";
}

std::string EveryRowPrinted() { return "every row called"; }

}  // namespace real_runtime
