// The plug-in's commands and functions as BASIC names: found by the words
// a statement spells and called, audited, through the host emulator.
#pragma once

#include <vector>

#include "emulator/basic/token_cursor.h"
#include "emulator/basic/value.h"
#include "emulator/loaded_module.h"
#include "table/command_table.h"

namespace emulator::basic {

// The longest plug-in name that the words at the cursor spell, for a
// function (followed by "(") or a command; the cursor moves past it. Null,
// with the cursor unmoved, when the words name none.
const table::CommandRow* MatchPluginName(
    const std::vector<table::CommandRow>& rows, TokenCursor& cursor,
    bool function);

// Calls the form of `named`'s name that takes `args`, with a live old
// result as the runtime passes one. A call that finds no form, passes an
// argument of the wrong kind, breaks a host rule or stores a run-time error
// ends the program.
BasicValue CallPlugin(const LoadedModule& module,
                      const table::CommandRow& named,
                      const std::vector<BasicValue>& args);

}  // namespace emulator::basic
