// The command table as the host reads it: one row per command variant,
// "NAME[%TYPES%Export%Param, Param" (no "[" for a command without result).
// The host emulator reads it from the module, docgen from the resource script;
// both by the rules of the runtime's compiler, so that a row the compiler
// would refuse fails here too, on machines that cannot run the compiler.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace table {

struct CommandRow {
  int id = 0;
  std::string text;          // the row as stored
  std::string name;          // BASIC name, e.g. "GET SPLIT WORD$"
  bool is_function = false;  // "[" after the name
  char result_type = 0;      // 'S', 'L' or 'D' for a function, 0 otherwise
  std::string param_types;   // one letter per parameter
  std::string export_name;
  std::vector<std::string> param_names;

  bool returns_string() const { return result_type == 'S'; }
  // Machine words the export takes: the old-result handle comes first for a
  // string function.
  size_t arity() const { return param_types.size() + returns_string(); }
  // Row ids are grouped by family in hundreds; the 800s are the character
  // constants, which read no argument and so may give the old result back
  // before they make the new one.
  bool is_character_constant() const { return id / 100 == 8; }
};

// A row as the module stores it, before it is read.
struct StoredRow {
  int id = 0;
  std::string text;
};

// Parses one row; nullopt when it is malformed.
std::optional<CommandRow> ParseRow(int id, const std::string& text);

// The rows of the STRINGTABLE of a resource script, as written there.
std::vector<StoredRow> StoredRowsOfScript(const std::string& script);

// The table as the runtime's compiler reads it: rows in id order, from id 1
// to 1000. It takes a row only if the row parses and its name holds nothing
// but letters, digits and "_+#$% "; at the first row it cannot take it stops
// reading, and every command of a later row is then unknown to programs. So
// such a row refuses the whole table here: nullopt, with `refusal` naming the
// row and what is wrong with it. A row past id 1000, which the compiler
// never reads, is refused the same way.
std::optional<std::vector<CommandRow>> ReadCommandTable(
    std::vector<StoredRow> stored, std::string& refusal);

// Checks the table's own rules: parameter names match parameter types and a
// name ends in "$" exactly when the result is a string. Returns problems.
std::vector<std::string> CheckTable(const std::vector<CommandRow>& rows);

// The row a call names by BASIC name and argument count, or null.
const CommandRow* FindRow(const std::vector<CommandRow>& rows,
                          const std::string& name, size_t argument_count);

}  // namespace table
