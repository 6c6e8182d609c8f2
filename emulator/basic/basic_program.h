// A small BASIC of the runtime's own kind, enough to run the example code of
// the help pages and the example programs as a user would: plug-in calls are
// resolved through the command table and every one of them goes through the
// audited host, so an example also proves that its calls keep the rules.
//
// What it knows: string (name$) and integer variables; assignment, PRINT
// (";" joins, a trailing ";" keeps the line open), FOR/NEXT, IF ... THEN,
// IF/ELSE/ENDIF, WHILE/ENDWHILE, REPEAT/UNTIL, END, WAIT KEY (ignored), ":"
// between statements, REM and "`" comments, REMSTART/REMEND blocks; the
// operators + - * / MOD = <> < > <= >= AND OR NOT; the built-ins STR$, CHR$,
// ASC, VAL and LEN; the plug-in's commands and functions.
#pragma once

#include <string>

#include "emulator/loaded_module.h"

namespace emulator {

struct BasicRun {
  std::string output;  // everything the program printed, lines ending in "\n"
  std::string
      error;  // why the program stopped early; empty when it ran through
};

BasicRun RunBasicProgram(const LoadedModule& module, const std::string& source);

}  // namespace emulator
