// Runs one command call the way the host does and audits every rule of the
// host string exchange on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/loaded_module.h"
#include "table/command_table.h"

namespace emulator {

// An argument of a call (or a case file's expected result): a string, a null
// pointer or an integer.
struct Value {
  enum Kind { kNull, kString, kInteger } kind = kNull;
  std::string text;
  long long integer = 0;
};

struct CallOutcome {
  bool is_null = true;  // string results: null
  std::string text;     // string results: the bytes
  int32_t integer = 0;  // integer results
  int32_t error = 0;    // the error word after the call
  std::vector<std::string> violations;
};

// Calls the row's export with `arguments`; `pass_old_result` gives a
// string function a live old result to give back, otherwise a null one.
CallOutcome RunAudited(const LoadedModule& module, const table::CommandRow& row,
                       const std::vector<Value>& arguments,
                       bool pass_old_result);

// The outcome as a case file would write it: = "text", = null, = 3, ! 112.
std::string Describe(const table::CommandRow& row, const CallOutcome& outcome);

// The named escapes of a quoted string in a case file: \n stands for a
// line feed and so on. Any other byte outside printable ASCII is \xHH.
struct Escape {
  char letter;  // after the backslash
  char byte;    // what it stands for
};
inline constexpr Escape kEscapes[] = {
    {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'\\', '\\'}, {'"', '"'}};

// Bytes as a case file writes a string: quoted, with escapes.
std::string Quote(const std::string& bytes);

}  // namespace emulator
