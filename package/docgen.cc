// Writes the documentation part of the release package, and refuses to
// when the documentation disagrees with the command table:
//   docgen --table host/module.rc --docs docs --out ROOT --checks DIR
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/package_docs.h"

int main(int argc, char** argv) {
  std::map<std::string, std::string> options;
  for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  for (const char* needed : {"--table", "--docs", "--out", "--checks"}) {
    if (options.count(needed) == 0) {
      std::fprintf(stderr, "usage: docgen --table RC --docs DIR --out ROOT --checks DIR\n");
      return 2;
    }
  }
  try {
    std::vector<std::string> problems;
    if (package::WritePackageDocs(options["--table"], options["--docs"], options["--out"],
                                  options["--checks"], problems)) {
      return 0;
    }
    for (const std::string& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "docgen: %s\n", e.what());
  }
  return 1;
}
