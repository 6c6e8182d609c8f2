// The command table as the host reads it: one row per command variant,
// "NAME[%TYPES%Export%Param, Param" (no "[" for a command without result).
// The host emulator reads it from the module, docgen from the resource script.
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
  std::string param_types;   // one letter per parameter ("H*" counts as 'H')
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

// Parses one row; nullopt when it is malformed.
std::optional<CommandRow> ParseRow(int id, const std::string& text);

// Rows of the STRINGTABLE of a resource script.
std::vector<CommandRow> RowsFromResourceScript(const std::string& script);

// Checks the table's own rules: parameter names match parameter types and a
// name ends in "$" exactly when the result is a string. Returns problems.
std::vector<std::string> CheckTable(const std::vector<CommandRow>& rows);

// The row a call names by BASIC name and argument count, or null.
const CommandRow* FindRow(const std::vector<CommandRow>& rows,
                          const std::string& name, size_t argument_count);

}  // namespace table
