// Writes the documentation part of the release package, and refuses to
// when the documentation disagrees with the command table:
//   docgen --table host/module.rc --docs docs --out ROOT --checks DIR
// or brings the command section of README.md up to date (with --check, only
// tells whether it is):
//   docgen --table host/module.rc --docs docs --readme README.md [--check]
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/package_docs.h"

int main(int argc, char** argv) {
  std::map<std::string, std::string> options;
  bool check_only = false;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--check")
      check_only = true;
    else if (i + 1 < argc)
      options[option] = argv[++i];
  }
  bool readme = options.count("--readme") != 0;
  std::vector<const char*> needed = {"--table", "--docs"};
  if (!readme) needed.insert(needed.end(), {"--out", "--checks"});
  for (const char* option : needed) {
    if (options.count(option) == 0) {
      std::fprintf(
          stderr,
          "usage: docgen --table RC --docs DIR --out ROOT --checks DIR\n"
          "       docgen --table RC --docs DIR --readme README.md [--check]\n");
      return 2;
    }
  }
  try {
    std::vector<std::string> problems;
    bool done = readme ? package::UpdateReadmeCommands(
                             options["--table"], options["--docs"],
                             options["--readme"], check_only, problems)
                       : package::WritePackageDocs(
                             options["--table"], options["--docs"],
                             options["--out"], options["--checks"], problems);
    if (done) return 0;
    for (const std::string& p : problems)
      std::fprintf(stderr, "%s\n", p.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "docgen: %s\n", e.what());
  }
  return 1;
}
