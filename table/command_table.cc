#include "table/command_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>
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
  row.param_types = types;
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

std::vector<StoredRow> StoredRowsOfScript(const std::string& script) {
  static const std::regex kRow(R"re(^\s*(\d+)\s+"(.*)"\s*$)re");
  std::vector<StoredRow> rows;
  std::istringstream lines(script);
  bool in_table = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("STRINGTABLE", 0) == 0) in_table = true;
    if (in_table && line.rfind("END", 0) == 0) in_table = false;
    std::smatch match;
    if (in_table && std::regex_match(line, match, kRow)) {
      rows.push_back({std::stoi(match[1]), match[2]});
    }
  }
  return rows;
}

namespace {

// The compiler's command dictionary takes no other character in a name.
bool IsNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) ||
         std::strchr("_+#$% ", c) != nullptr;
}

// The compiler's highest string id: it never looks further.
constexpr int kLastReadId = 1000;

// Why the compiler would not take `stored`, or "" when it would.
std::string RefusalOf(const StoredRow& stored,
                      const std::optional<CommandRow>& row) {
  if (stored.id < 1 || stored.id > kLastReadId)
    return "its id is outside 1 to " + std::to_string(kLastReadId) +
           ", which the compiler never reads";
  if (!row) return "it does not have the form NAME[%TYPES%EXPORT%PARAMETERS";
  if (row->name.empty()) return "its name is empty";
  for (char c : row->name) {
    if (!IsNameCharacter(c))
      return std::string("its name holds '") + c +
             "', and a name may hold only letters, digits and \"_+#$% \"";
  }
  return "";
}

}  // namespace

std::optional<std::vector<CommandRow>> ReadCommandTable(
    std::vector<StoredRow> stored, std::string& refusal) {
  std::stable_sort(
      stored.begin(), stored.end(),
      [](const StoredRow& a, const StoredRow& b) { return a.id < b.id; });
  std::vector<CommandRow> rows;
  for (const StoredRow& s : stored) {
    std::optional<CommandRow> row = ParseRow(s.id, s.text);
    std::string why = RefusalOf(s, row);
    if (!why.empty()) {
      refusal = "the command table stops at row " + std::to_string(s.id) +
                " \"" + s.text + "\": " + why +
                "; the runtime's compiler reads no row from there on";
      return std::nullopt;
    }
    rows.push_back(*row);
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
