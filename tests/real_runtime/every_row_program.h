// A program that calls every row of the command table once: compiling it
// proves that the runtime's compiler knows every command, and running it
// that every export can be reached and returns.
#pragma once

#include <string>
#include <vector>

#include "table/command_table.h"

namespace real_runtime {

// The program's source. Each row is called with arguments it takes without
// a run-time error ("a,b" for a string, 1 for an integer), functions through
// an assignment of their result; the program then prints the line
// EveryRowPrinted().
std::string EveryRowProgram(const std::vector<table::CommandRow>& rows);

std::string EveryRowPrinted();

}  // namespace real_runtime
