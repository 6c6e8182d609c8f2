// A copy of a BASIC program whose printed lines go to a file. The runtime's
// PRINT draws on its window, which a headless run cannot read back; the
// runtime's own file commands can write what the program prints, so that it
// can be compared with the output the emulator's runs are held to.
#pragma once

#include <string>

namespace real_runtime {

// `source` with, line for line (so the runtime's error messages name the
// same lines):
// - OPEN TO WRITE 1, `file_name` before the first statement;
// - each PRINT a; b written to file 1 as one line, its string items as they
//   are and its numbers through STR$; a PRINT that ends in ";" or "," keeps
//   its items in printed_line$ until the next PRINT ends the line;
// - CLOSE FILE 1 before each END and after the last line;
// - WAIT KEY as WAIT 0, since no key ever comes in a headless run.
// Lines end in "\r\n". Throws emulator::basic::BasicError on a line the
// lexer cannot read, a PRINT with an empty item, or a program that uses the
// name printed_line$ itself.
std::string PrintToFile(const std::string& source,
                        const std::string& file_name);

}  // namespace real_runtime
