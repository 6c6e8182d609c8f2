// The host emulator's command line:
//   host_emulator [OPTIONS] run FILE      prints each call
//   host_emulator [OPTIONS] check FILE...  compares
//   host_emulator [OPTIONS] basic FILE.dba|FOLDER...
//       runs BASIC programs and compares what each prints with FILE.txt;
//       where FILE.match exists, each printed line must match its pattern
//       instead (random results), and so must each line of FILE.txt
// OPTIONS: --module PATH, --table SCRIPT (the resource script of a native
// module), --progress FILE (see progress_log.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace emulator {

struct Options {
#if defined(_WIN32)
  std::string module_path = "Vellum3Util_16.dll";
#else
  std::string module_path = "./Vellum3Util_16.so";
#endif
  std::string table_script = "host/module.rc";
  std::string progress_path;
  std::string mode;  // run, check or basic
  std::vector<std::string> files;
};

extern const char kUsage[];

// The options of the arguments after the program name; nullopt when they
// name no mode, or an option that does not exist or lacks its value: a
// mistyped option would otherwise run against the wrong module or table.
std::optional<Options> ParseCommandLine(const std::vector<std::string>& args);

}  // namespace emulator
