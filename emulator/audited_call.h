// Runs one command call the way the host does and audits every rule of the
// host string exchange on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/case_file.h"
#include "table/command_table.h"
#include "emulator/loaded_module.h"

namespace emulator {

struct CallOutcome {
  bool is_null = true;        // string results: null
  std::string text;           // string results: the bytes
  int32_t integer = 0;        // integer results
  int32_t error = 0;          // the error word after the call
  std::vector<std::string> violations;
};

// Calls the row's export with `arguments`; `pass_old_result` gives a
// string function a live old result to give back, otherwise a null one.
CallOutcome RunAudited(const LoadedModule& module, const CommandRow& row,
                       const std::vector<Value>& arguments,
                       bool pass_old_result);

// The outcome as a case file would write it: = "text", = null, = 3, ! 112.
std::string Describe(const CommandRow& row, const CallOutcome& outcome);

}  // namespace emulator
