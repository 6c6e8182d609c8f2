// BASIC expressions, evaluated as they are parsed, by precedence from the
// loosest: OR, AND, NOT, comparisons, + -, * / MOD, unary minus, then
// literals, parentheses, calls and variables.
#pragma once

#include <map>
#include <string>

#include "emulator/basic/token_cursor.h"
#include "emulator/basic/value.h"
#include "emulator/loaded_module.h"
#include "table/command_table.h"

namespace emulator::basic {

using Variables = std::map<std::string, BasicValue>;

class Evaluator {
 public:
  // Reads `variables` (unset ones are "" or 0) and calls `module`'s exports.
  Evaluator(const LoadedModule& module, const Variables& variables)
      : module_(module), variables_(variables) {}

  // The expression at the cursor; the cursor moves past it.
  BasicValue Evaluate(TokenCursor& cursor) const;
  // A condition: an integer expression, true when not 0.
  bool Holds(TokenCursor& cursor) const {
    return Integer(Evaluate(cursor)).number != 0;
  }
  // Calls `named` with the arguments at the cursor: in parentheses for a
  // function, the rest of the statement for a command.
  BasicValue CallPluginAt(TokenCursor& cursor,
                          const table::CommandRow& named) const;

 private:
  BasicValue Conjunction(TokenCursor& cursor) const;
  BasicValue Negation(TokenCursor& cursor) const;
  BasicValue Comparison(TokenCursor& cursor) const;
  BasicValue Sum(TokenCursor& cursor) const;
  BasicValue Product(TokenCursor& cursor) const;
  BasicValue Unary(TokenCursor& cursor) const;
  BasicValue Primary(TokenCursor& cursor) const;
  BasicValue CallBuiltIn(TokenCursor& cursor) const;

  const LoadedModule& module_;
  const Variables& variables_;
};

}  // namespace emulator::basic
