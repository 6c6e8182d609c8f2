#include "package/package_docs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "package/help_render.h"
#include "package/help_source.h"
#include "package/page_check.h"
#include "table/command_table.h"

namespace fs = std::filesystem;

namespace package {

const char kReadmeCommandsBegin[] = "<!-- The commands: made by docgen";
const char kReadmeCommandsEnd[] = "<!-- End of the commands -->";

namespace {

// The families in the order the index lists them, by their file names.
const char* const kFamilies[] = {"chars", "search", "edit", "split",
                                 "generate"};

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void Write(const fs::path& path, const std::string& text) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

// Text files for the user get Windows line ends.
std::string WithCrlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A file name for a command's example that every file system takes.
std::string CheckName(const std::string& name) {
  std::string out;
  for (char c : name) out += c == ' ' ? '_' : c == '$' ? 'S' : c;
  return out;
}

// The table's commands and the family files, checked against each other.
bool LoadDocs(const std::string& table_script, const fs::path& docs,
              std::vector<Command>& commands, std::vector<HelpFamily>& families,
              std::vector<std::string>& problems) {
  std::string refusal;
  std::optional<std::vector<table::CommandRow>> rows = table::ReadCommandTable(
      table::StoredRowsOfScript(Read(table_script)), refusal);
  if (!rows) {
    problems.push_back(table_script + ": " + refusal);
    return false;
  }
  commands = GroupCommands(*rows);
  for (const char* family : kFamilies) {
    std::string file =
        (docs / "commands" / (std::string(family) + ".txt")).string();
    families.push_back(ParseHelpFamily(Read(file), file, problems));
  }
  for (const std::string& p : CheckHelp(families, commands))
    problems.push_back(p);
  return problems.empty();
}

}  // namespace

bool WritePackageDocs(const std::string& table_script,
                      const std::string& docs_folder,
                      const std::string& out_folder,
                      const std::string& checks_folder,
                      std::vector<std::string>& problems) {
  fs::path docs = docs_folder;
  fs::path out = out_folder;
  fs::path checks = checks_folder;
  std::vector<Command> commands;
  std::vector<HelpFamily> families;
  if (!LoadDocs(table_script, docs, commands, families, problems)) return false;
  std::string stylesheet = Read(docs / "help.css");
  for (const std::string& p : StyleSheetProblems(stylesheet))
    problems.push_back("help.css: " + p);
  if (!problems.empty()) return false;

  Write(out / "Editor/Keywords/Vellum3Util_16.ini", KeywordFile(commands));
  Write(out / "Help/commands/strings.htm", IndexPage(families, stylesheet));
  for (const HelpFamily& family : families) {
    for (const HelpEntry& entry : family.entries) {
      Write(out / "Help/commands/strings" / PageFile(entry.name),
            HelpPage(CommandNamed(commands, entry.name), entry, family,
                     stylesheet));
      fs::path check = checks / CheckName(entry.name);
      Write(check.string() + ".dba", entry.example);
      Write(check.string() + ".txt", entry.output);
      if (!entry.matches.empty())
        Write(check.string() + ".match", entry.matches);
    }
  }

  std::string readme = Read(docs / "README.txt");
  size_t slot = readme.find("@COMMANDS@\n");
  if (slot == std::string::npos)
    throw std::runtime_error("README.txt has no @COMMANDS@ line");
  readme.replace(slot, 11, CommandList(families));
  Write(out / "README.txt", WithCrlf(readme));

  // The example programs and the output each prints; their patterns stay
  // behind, they are for the check only.
  for (const fs::directory_entry& example :
       fs::directory_iterator(docs / "examples")) {
    fs::path name = example.path().filename();
    if (name.extension() == ".dba" || name.extension() == ".txt") {
      Write(out / "Examples" / name, WithCrlf(Read(example.path())));
    }
  }
  return true;
}

bool UpdateReadmeCommands(const std::string& table_script,
                          const std::string& docs_folder,
                          const std::string& readme_path, bool check_only,
                          std::vector<std::string>& problems) {
  std::vector<Command> commands;
  std::vector<HelpFamily> families;
  if (!LoadDocs(table_script, docs_folder, commands, families, problems))
    return false;
  std::string readme = Read(readme_path);
  size_t begin = readme.find(kReadmeCommandsBegin);
  size_t end = readme.find(kReadmeCommandsEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin) {
    problems.push_back(readme_path +
                       ": no command section between its two marker lines");
    return false;
  }
  begin = readme.find('\n', begin) + 1;
  std::string current = readme.substr(begin, end - begin);
  std::string fresh = CommandTable(families, commands);
  if (current == fresh) return true;
  if (check_only) {
    problems.push_back(
        readme_path +
        ": the command section is out of date; run docgen --table " +
        table_script + " --docs " + docs_folder + " --readme " + readme_path);
    return false;
  }
  Write(readme_path, readme.replace(begin, end - begin, fresh));
  return true;
}

}  // namespace package
