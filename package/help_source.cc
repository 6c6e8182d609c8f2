#include "package/help_source.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "text/trim.h"

namespace package {
namespace {

// "a | b" as its two trimmed halves.
bool SplitBar(const std::string& value, std::string& left, std::string& right) {
  size_t bar = value.find('|');
  if (bar == std::string::npos) return false;
  left = text::TrimWhiteSpace(value.substr(0, bar));
  right = text::TrimWhiteSpace(value.substr(bar + 1));
  return !left.empty() && !right.empty();
}

// A block's text as paragraphs: lines joined by spaces, blank lines between.
std::vector<std::string> Paragraphs(const std::string& block) {
  std::vector<std::string> paragraphs(1);
  std::istringstream lines(block);
  for (std::string line; std::getline(lines, line);) {
    line = text::TrimWhiteSpace(line);
    if (line.empty()) {
      if (!paragraphs.back().empty()) paragraphs.emplace_back();
      continue;
    }
    paragraphs.back() += (paragraphs.back().empty() ? "" : " ") + line;
  }
  if (paragraphs.back().empty()) paragraphs.pop_back();
  return paragraphs;
}

bool IsPrintable(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return c == '\n' || (c >= 0x20 && c < 0x7F);
  });
}

// Reads a family file a line at a time: "key: value" lines, and the
// indented lines of a block after a block key ("description:", "example:",
// "output:", "matches:").
class FamilyReader {
 public:
  FamilyReader(const std::string& file, std::vector<std::string>& errors)
      : errors_(errors) {
    family_.file = file;
  }

  void Read(std::string line) {
    ++number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!IsPrintable(line)) Problem("only printable ASCII may be used");
    if (block_ != nullptr && (line.empty() || line.rfind("  ", 0) == 0)) {
      *block_ += (line.empty() ? "" : line.substr(2)) + "\n";
      return;
    }
    block_ = nullptr;
    if (line.empty() || line[0] == '#') return;
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
      Problem("expected \"key: value\"");
      return;
    }
    Key(line.substr(0, colon), text::TrimWhiteSpace(line.substr(colon + 1)));
  }

  HelpFamily Finish() {
    FinishEntry();
    // Blocks keep their inner blank lines but not the trailing ones.
    for (HelpEntry& e : family_.entries) {
      for (std::string* b : {&e.example, &e.output, &e.matches}) {
        while (b->size() >= 2 && b->compare(b->size() - 2, 2, "\n\n") == 0)
          b->pop_back();
      }
    }
    return family_;
  }

 private:
  void Problem(const std::string& what) {
    errors_.push_back(family_.file + ":" + std::to_string(number_) + ": " +
                      what);
  }

  void Key(const std::string& key, const std::string& value) {
    if (key == "family") {
      family_.title = value;
    } else if (key == "about") {
      family_.about = value;
    } else if (key == "command") {
      FinishEntry();
      family_.entries.emplace_back();
      family_.entries.back().line = number_;
      family_.entries.back().name = value;
    } else if (family_.entries.empty()) {
      Problem("a \"command:\" line must come first");
    } else {
      EntryKey(family_.entries.back(), key, value);
    }
  }

  void EntryKey(HelpEntry& e, const std::string& key,
                const std::string& value) {
    std::string left, right;
    if (key == "summary") {
      e.summary = value;
    } else if (key == "parameter" && SplitBar(value, left, right)) {
      e.parameters.emplace_back(left, right);
    } else if (key == "returns") {
      e.returns.push_back(value);
    } else if (key == "error" && SplitBar(value, left, right)) {
      e.errors.emplace_back(std::atoi(left.c_str()), right);
    } else if (key == "see") {
      std::istringstream names(value);
      for (std::string name; std::getline(names, name, ',');)
        e.see.push_back(text::TrimWhiteSpace(name));
    } else if (key == "description" || key == "example" || key == "output" ||
               key == "matches") {
      block_ = key == "description" ? &description_
               : key == "example"   ? &e.example
               : key == "output"    ? &e.output
                                    : &e.matches;
      if (!value.empty()) Problem("the block starts on the next line");
    } else {
      Problem("unknown or malformed \"" + key + ":\" line");
    }
  }

  // The description is kept as text until the entry ends, then split.
  void FinishEntry() {
    if (!family_.entries.empty())
      family_.entries.back().description = Paragraphs(description_);
    description_.clear();
  }

  HelpFamily family_;
  std::vector<std::string>& errors_;
  int number_ = 0;
  std::string* block_ = nullptr;  // the block that indented lines extend
  std::string description_;       // the current entry's
};

using CommandsByName = std::map<std::string, const Command*>;

// What is wrong with the parameters one entry describes, against the forms
// of its command.
std::vector<std::string> ParameterProblems(const HelpEntry& e,
                                           const Command& command) {
  std::vector<std::string> problems;
  std::vector<std::string> conflicts;
  std::map<std::string, char> types = ParameterTypes(command, conflicts);
  for (const std::string& name : conflicts) {
    problems.push_back("parameter " + name +
                       " has different types in different forms");
  }
  std::set<std::string> described;
  for (const auto& [name, meaning] : e.parameters) {
    if (!described.insert(name).second)
      problems.push_back("parameter " + name + " is described twice");
    if (types.count(name) == 0)
      problems.push_back("no form has a parameter " + name);
  }
  for (const auto& [name, type] : types) {
    if (described.count(name) == 0)
      problems.push_back("parameter " + name + " is not described");
  }
  return problems;
}

// What is wrong with one entry of the help, given the command it documents.
std::vector<std::string> EntryProblems(const HelpEntry& e,
                                       const Command& command,
                                       const CommandsByName& by_name) {
  std::vector<std::string> problems = ParameterProblems(e, command);
  if (e.summary.empty()) problems.push_back("no summary");
  if (e.returns.empty() && command.forms[0].is_function)
    problems.push_back("no \"returns:\"");
  if (e.description.empty()) problems.push_back("no description");
  if (e.example.empty() || e.output.empty())
    problems.push_back("no example with its output");
  for (const auto& [number, cause] : e.errors) {
    if (number != 110 && number != 112)
      problems.push_back("the commands raise only errors 110 and 112");
  }
  for (const std::string& other : e.see) {
    if (by_name.count(other) == 0 || other == e.name)
      problems.push_back("\"see\" names " + other);
  }
  return problems;
}

}  // namespace

HelpFamily ParseHelpFamily(const std::string& text, const std::string& file,
                           std::vector<std::string>& errors) {
  FamilyReader reader(file, errors);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) reader.Read(line);
  return reader.Finish();
}

std::vector<Command> GroupCommands(const std::vector<table::CommandRow>& rows) {
  std::vector<Command> commands;
  for (const table::CommandRow& row : rows) {
    const std::string& name = row.name;
    auto same = std::find_if(commands.begin(), commands.end(),
                             [&](const Command& c) { return c.name == name; });
    if (same == commands.end())
      same = commands.insert(commands.end(), Command{name, {}});
    same->forms.push_back(row);
  }
  // The shortest form first, as a user meets them.
  for (Command& c : commands) {
    std::stable_sort(
        c.forms.begin(), c.forms.end(),
        [](const table::CommandRow& a, const table::CommandRow& b) {
          return a.param_types.size() < b.param_types.size();
        });
  }
  return commands;
}

const Command& CommandNamed(const std::vector<Command>& commands,
                            const std::string& name) {
  return *std::find_if(commands.begin(), commands.end(),
                       [&](const Command& c) { return c.name == name; });
}

std::map<std::string, char> ParameterTypes(
    const Command& command, std::vector<std::string>& conflicts) {
  std::map<std::string, char> types;
  for (const table::CommandRow& row : command.forms) {
    for (size_t i = 0; i < row.param_names.size(); ++i) {
      auto [it, fresh] = types.emplace(row.param_names[i], row.param_types[i]);
      if (!fresh && it->second != row.param_types[i])
        conflicts.push_back(row.param_names[i]);
    }
  }
  return types;
}

std::string TypeName(char type_letter) {
  switch (type_letter) {
    case 'S':
      return "String";
    default:
      return "Integer";
  }
}

std::vector<std::string> CheckHelp(const std::vector<HelpFamily>& families,
                                   const std::vector<Command>& commands) {
  std::vector<std::string> problems;
  CommandsByName by_name;
  for (const Command& c : commands) by_name[c.name] = &c;
  std::map<std::string, int> documented;
  for (const HelpFamily& family : families) {
    if (family.title.empty() || family.about.empty()) {
      problems.push_back(family.file + ": needs \"family:\" and \"about:\"");
    }
    for (const HelpEntry& e : family.entries) {
      std::string where =
          family.file + ":" + std::to_string(e.line) + ": " + e.name + ": ";
      ++documented[e.name];
      auto command = by_name.find(e.name);
      if (command == by_name.end()) {
        problems.push_back(where + "no row of the command table has this name");
        continue;
      }
      for (const std::string& what :
           EntryProblems(e, *command->second, by_name)) {
        problems.push_back(where + what);
      }
    }
  }
  for (const Command& c : commands) {
    int count = documented[c.name];
    if (count != 1) {
      problems.push_back(c.name + ": documented " + std::to_string(count) +
                         " times, not once");
    }
  }
  return problems;
}

}  // namespace package
