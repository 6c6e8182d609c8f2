// What a program is expected to print: PROGRAM.txt beside PROGRAM.dba, or,
// where PROGRAM.match exists, one pattern per line (results that differ from
// run to run), which each printed line and each line of PROGRAM.txt must
// match. The host emulator's runs and the runs in the real runtime compare
// against the same files this way.
#pragma once

#include <string>

namespace emulator {

// Reads a whole file as bytes; false when it cannot be read.
bool ReadFile(const std::string& path, std::string& text);

// What is wrong with `output` as the output of the program at
// `program_path`, naming the first line that differs; "" when it is right.
// Lines compare without a final "\r", so "\r\n" and "\n" end lines alike.
std::string OutputProblem(const std::string& program_path,
                          const std::string& output);

}  // namespace emulator
