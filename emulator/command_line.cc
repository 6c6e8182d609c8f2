#include "emulator/command_line.h"

namespace emulator {

const char kUsage[] =
    "usage: host_emulator [--module PATH] [--table SCRIPT] [--progress FILE] "
    "run|check|basic FILE...\n";

std::optional<Options> ParseCommandLine(const std::vector<std::string>& args) {
  Options options;
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
    std::string* value = args[i] == "--module"     ? &options.module_path
                         : args[i] == "--table"    ? &options.table_script
                         : args[i] == "--progress" ? &options.progress_path
                                                   : nullptr;
    if (value == nullptr || i + 1 == args.size()) return std::nullopt;
    *value = args[i + 1];
  }
  if (i == args.size() ||
      (args[i] != "run" && args[i] != "check" && args[i] != "basic")) {
    return std::nullopt;
  }
  options.mode = args[i];
  options.files.assign(args.begin() + i + 1, args.end());
  return options;
}

}  // namespace emulator
