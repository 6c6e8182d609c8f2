// Case files: one command call per line with what it must give.
//   NAME(arg, ...) = expected ! error
// Arguments are "strings" (escapes \\ \" \t \n \r \xHH, "ab"*3 repeats),
// null, or integers. Expected is "text" (an allocated string), null, an
// integer, or =~ "pattern" for the whole result (pattern.h); a command without
// result has no expectation. "! n" is the run-time error the call must store (0
// when absent). '#' starts a comment line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "emulator/audited_call.h"

namespace emulator {

struct Call {
  int line = 0;
  std::string source;     // the line as written, for messages
  std::string call_text;  // the call alone, without expectations
  std::string name;
  std::vector<Value> arguments;
  std::optional<Value> expected;
  bool expected_is_pattern = false;  // =~, a pattern of pattern.h
  int expected_error = 0;
};

// Parses a whole case file; lines that do not parse are reported in `errors`.
std::vector<Call> ParseCaseFile(const std::string& text,
                                std::vector<std::string>& errors);

}  // namespace emulator
