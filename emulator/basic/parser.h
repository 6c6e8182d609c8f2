// A BASIC program as a list of statements, with every block opener paired
// with its closer so that the interpreter can jump without searching.
#pragma once

#include <string>
#include <vector>

#include "emulator/basic/lexer.h"

namespace emulator::basic {

struct Statement {
  int line = 0;
  std::vector<Token> tokens;
  // FOR, WHILE, REPEAT: the closer; a closer: its opener; IF and ELSE: the
  // ELSE or ENDIF that ends the branch; a one-line IF: the end of its body.
  size_t jump = 0;
  bool has_then_body = false;  // a one-line IF, its body the next statements
};

// Splits lines into statements at ":" (a one-line IF keeps everything after
// its THEN as the statements of its body), drops remarks and matches blocks.
// Throws BasicError on a token it cannot read or a block left open or
// closed without an opener.
std::vector<Statement> ParseProgram(const std::string& source);

// An IF that opens a block ending in ENDIF, rather than a one-line IF.
bool IsBlockIf(const Statement& statement);

}  // namespace emulator::basic
