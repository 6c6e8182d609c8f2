// What the release package holds besides the DLL, made from the command
// table and the documentation folder:
//   OUT/Editor/Keywords/Vellum3Util_16.ini     the editor's keyword file
//   OUT/Help/commands/strings.htm              the index of the commands
//   OUT/Help/commands/strings/NAME.htm         one page per BASIC name
//   OUT/Examples/                              example programs and their
//   output OUT/README.txt
// and, in CHECKS, every help page's example as NAME.dba with the output it
// must print (NAME.txt, and NAME.match where the output is random), for the
// host emulator to run; and the command section of the project's README.md.
#pragma once

#include <string>
#include <vector>

namespace package {

// False, with the reasons in `problems`, when the documentation disagrees
// with the table or is incomplete; nothing is written then. Throws
// std::runtime_error when a file cannot be read or written.
bool WritePackageDocs(const std::string& table_script,
                      const std::string& docs_folder,
                      const std::string& out_folder,
                      const std::string& checks_folder,
                      std::vector<std::string>& problems);

// README.md lists the commands between two marker lines; the first begins
// with kReadmeCommandsBegin and says how to remake the section.
extern const char kReadmeCommandsBegin[];
extern const char kReadmeCommandsEnd[];

// Brings the command section of README.md up to date with the table and the
// family files; with `check_only` it changes nothing and fails, saying how
// to remake it, when the section is stale. False, with the reasons in
// `problems`, also when the documentation disagrees with the table.
bool UpdateReadmeCommands(const std::string& table_script,
                          const std::string& docs_folder,
                          const std::string& readme_path, bool check_only,
                          std::vector<std::string>& problems);

}  // namespace package
