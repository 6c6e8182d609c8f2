#include "table/command_table.h"

#include <regex>
#include <sstream>

namespace table {

std::optional<CommandRow> ParseRow(int id, const std::string& text) {
  CommandRow row;
  row.id = id;
  row.text = text;
  size_t first = text.find('%');
  size_t second = text.find('%', first + 1);
  size_t third = text.find('%', second + 1);
  if (first == std::string::npos || second == std::string::npos ||
      third == std::string::npos) {
    return std::nullopt;
  }
  row.name = text.substr(0, first);
  if (!row.name.empty() && row.name.back() == '[') {
    row.is_function = true;
    row.name.pop_back();
  }
  std::string types = text.substr(first + 1, second - first - 1);
  if (row.is_function) {
    if (types.empty()) return std::nullopt;
    row.result_type = types[0];
    types.erase(0, 1);
  }
  for (char c : types) {
    if (c != '*') row.param_types += c;
  }
  row.export_name = text.substr(second + 1, third - second - 1);
  std::string params = text.substr(third + 1);
  for (size_t at = 0; !params.empty();) {
    size_t comma = params.find(", ", at);
    row.param_names.push_back(params.substr(at, comma - at));
    if (comma == std::string::npos) break;
    at = comma + 2;
  }
  return row;
}

std::vector<CommandRow> RowsFromResourceScript(const std::string& script) {
  static const std::regex kRow(R"re(^\s*(\d+)\s+"(.*)"\s*$)re");
  std::vector<CommandRow> rows;
  std::istringstream lines(script);
  bool in_table = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("STRINGTABLE", 0) == 0) in_table = true;
    if (in_table && line.rfind("END", 0) == 0) in_table = false;
    std::smatch match;
    if (in_table && std::regex_match(line, match, kRow)) {
      if (auto row = ParseRow(std::stoi(match[1]), match[2])) {
        rows.push_back(*row);
      }
    }
  }
  return rows;
}

std::vector<std::string> CheckTable(const std::vector<CommandRow>& rows) {
  std::vector<std::string> problems;
  for (const CommandRow& row : rows) {
    bool dollar = !row.name.empty() && row.name.back() == '$';
    if (dollar != row.returns_string()) {
      problems.push_back(std::to_string(row.id) +
                         ": '$' and result type disagree");
    }
    if (row.param_names.size() != row.param_types.size()) {
      problems.push_back(std::to_string(row.id) +
                         ": parameter names and types disagree");
    }
  }
  return problems;
}

const CommandRow* FindRow(const std::vector<CommandRow>& rows,
                          const std::string& name, size_t argument_count) {
  for (const CommandRow& row : rows) {
    if (row.name == name && row.param_types.size() == argument_count) {
      return &row;
    }
  }
  return nullptr;
}

}  // namespace table
