// The documentation of the commands: one text file per family, read
// together with the command table so that the keyword file and the help
// pages can never disagree with the rows the host reads.
//
// A family file holds "family:" and "about:" lines, then one entry per BASIC
// name:
//   command: INSTR
//   summary: one line
//   parameter: Source | meaning        (one per parameter name of any form)
//   returns: a paragraph               (repeatable)
//   error: 110 | what causes it        (repeatable)
//   description: / example: / output: / matches:
//     blocks of lines indented by two spaces
//   see: LAST INSTR, STRING COUNT
// "matches:" holds one pattern per output line where the output is random;
// "output:" then shows one run. Lines starting with '#' are comments.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "table/command_table.h"

namespace package {

struct HelpEntry {
  int line = 0;  // where the entry starts, for messages
  std::string name;
  std::string summary;
  std::vector<std::pair<std::string, std::string>> parameters;  // name, meaning
  std::vector<std::string> returns;                             // paragraphs
  std::vector<std::pair<int, std::string>> errors;              // number, cause
  std::vector<std::string> description;                         // paragraphs
  std::string example;
  std::string output;
  std::string matches;
  std::vector<std::string> see;
};

struct HelpFamily {
  std::string file;  // for messages
  std::string title;
  std::string about;
  std::vector<HelpEntry> entries;
};

// One BASIC name with its forms, the rows ordered by their parameter count.
struct Command {
  std::string name;
  std::vector<table::CommandRow> forms;
};

// Parses one family file; problems go to `errors` as "file:line: what".
HelpFamily ParseHelpFamily(const std::string& text, const std::string& file,
                           std::vector<std::string>& errors);

// The table's rows grouped by BASIC name, in the order names first appear,
// each name's forms from the fewest parameters to the most.
std::vector<Command> GroupCommands(const std::vector<table::CommandRow>& rows);

// Everything that would make the help disagree with the table or leave a
// page incomplete: names without an entry or entries without a name,
// parameters that no form has or that lack a meaning, missing sections,
// "see" names that do not exist.
std::vector<std::string> CheckHelp(const std::vector<HelpFamily>& families,
                                   const std::vector<Command>& commands);

// The command of that name; it must be one of `commands`.
const Command& CommandNamed(const std::vector<Command>& commands,
                            const std::string& name);

// Each parameter name of any of the command's forms with its type letter,
// as the first form that has it gives it; names whose forms give them
// different types go to `conflicts`.
std::map<std::string, char> ParameterTypes(const Command& command,
                                           std::vector<std::string>& conflicts);

// The name a parameter type letter has in the help.
std::string TypeName(char type_letter);

}  // namespace package
