// What the user installs besides the DLL, made from the command table and the
// family files: the editor's keyword file, one help page per BASIC name, the
// index page of the string commands and the command list of README.txt.
#pragma once

#include <string>
#include <vector>

#include "package/help_source.h"

namespace package {

// How one form is written in the help, e.g.
// "Return Integer = INSTR(Source, Search)" or "SPLIT STRING Source,
// Delimiters".
std::string SyntaxLine(const table::CommandRow& form);

// The editor's keyword line: NAME=commands\strings\NAME.htm=PARAMETERS, with
// a function's parameters in parentheses, a command's without, none as
// *no parameters*, and several forms each in brackets: [(a, b)][(a, b, c)].
std::string KeywordLine(const Command& command);

// The keyword file: "[LINKS]" and one line per name in name order, CRLF
// line ends.
std::string KeywordFile(const std::vector<Command>& commands);

// A command's help page, standalone HTML with its own stylesheet.
std::string HelpPage(const Command& command, const HelpEntry& entry,
                     const HelpFamily& family, const std::string& stylesheet);

// The page that lists every command by family.
std::string IndexPage(const std::vector<HelpFamily>& families,
                      const std::string& stylesheet);

// The commands by family as plain text lines, for README.txt.
std::string CommandList(const std::vector<HelpFamily>& families);

// The commands by family as Markdown tables for README.md, one row per
// BASIC name: its forms, e.g. `INSTR(Source, Search)`, and its summary.
std::string CommandTable(const std::vector<HelpFamily>& families,
                         const std::vector<Command>& commands);

// The file name of a command's page, e.g. "FAST LEFT$.htm".
std::string PageFile(const std::string& name);

}  // namespace package
