#include "emulator/basic/plugin_call.h"

#include "emulator/audited_call.h"
#include "emulator/basic/basic_error.h"

namespace emulator::basic {
namespace {

// Plug-in names have at most this many words ("GET SPLIT WORD POS").
constexpr size_t kMaxNameWords = 4;

// The arguments as the host passes them, checked against the row's types.
std::vector<Value> HostArguments(const table::CommandRow& row,
                                 const std::vector<BasicValue>& args) {
  std::vector<Value> values;
  for (size_t i = 0; i < args.size(); ++i) {
    bool wants_string = row.param_types[i] == 'S';
    if (args[i].is_string != wants_string) {
      throw BasicError("parameter " + std::to_string(i + 1) + " of " +
                       row.name + " must be " +
                       (wants_string ? "a string" : "an integer"));
    }
    Value value;
    // The runtime keeps an empty string as a null address.
    if (args[i].is_string && !args[i].text.empty()) {
      value.kind = Value::kString;
      value.text = args[i].text;
    } else if (!args[i].is_string) {
      value.kind = Value::kInteger;
      value.integer = args[i].number;
    }
    values.push_back(value);
  }
  return values;
}

}  // namespace

const table::CommandRow* MatchPluginName(
    const std::vector<table::CommandRow>& rows, TokenCursor& cursor,
    bool function) {
  const std::vector<Token>& tokens = cursor.tokens();
  size_t start = cursor.position();
  std::string name;
  const table::CommandRow* best = nullptr;
  size_t best_end = 0;
  for (size_t i = start; i < tokens.size() && i < start + kMaxNameWords; ++i) {
    if (tokens[i].kind != Token::kWord) break;
    name += (name.empty() ? "" : " ") + tokens[i].text;
    if (function && !IsToken(tokens, i + 1, "(")) continue;
    for (const table::CommandRow& row : rows) {
      if (row.name == name && row.is_function == function) {
        best = &row;
        best_end = i + 1;
      }
    }
  }
  if (best != nullptr) cursor.MoveTo(best_end);
  return best;
}

BasicValue CallPlugin(const LoadedModule& module,
                      const table::CommandRow& named,
                      const std::vector<BasicValue>& args) {
  const table::CommandRow* row =
      table::FindRow(module.rows(), named.name, args.size());
  if (row == nullptr) {
    throw BasicError(named.name + " has no form with " +
                     std::to_string(args.size()) + " parameters");
  }
  CallOutcome outcome =
      RunAudited(module, *row, HostArguments(*row, args), true);
  if (!outcome.violations.empty()) {
    throw BasicError(row->name +
                     " broke a host rule: " + outcome.violations[0]);
  }
  if (outcome.error != 0) {
    throw BasicError("run-time error " + std::to_string(outcome.error) +
                     " in " + row->name);
  }
  if (row->returns_string()) return Text(outcome.is_null ? "" : outcome.text);
  return Number(outcome.integer);
}

}  // namespace emulator::basic
