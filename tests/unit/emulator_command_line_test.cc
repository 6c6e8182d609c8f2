// The emulator's command line: a run reads its options and files, and a
// line it cannot read all of is refused rather than run with defaults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/command_line.h"

namespace emulator {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ReadsEachOptionThenTheModeAndItsFiles) {
  std::optional<Options> options =
      ParseCommandLine({"--progress", "p.log", "--module", "m.so", "--table",
                        "t.rc", "check", "a.cases", "--b.cases"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->module_path, "m.so");
  EXPECT_EQ(options->table_script, "t.rc");
  EXPECT_EQ(options->progress_path, "p.log");
  EXPECT_EQ(options->mode, "check");
  EXPECT_EQ(options->files, (Args{"a.cases", "--b.cases"}));

  options = ParseCommandLine({"basic"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->table_script, Options().table_script);
  EXPECT_EQ(options->files, Args{});
}

TEST(CommandLine, RefusesUnknownOptionsMissingValuesAndMissingModes) {
  for (const Args& args : {Args{}, Args{"--modul", "m.so", "run", "a.cases"},
                           Args{"--verbose", "check", "a.cases"},
                           Args{"--module"}, Args{"--table", "t.rc"},
                           Args{"test", "a.cases"}, Args{"a.cases", "check"}}) {
    std::string line;
    for (const std::string& arg : args) line += arg + " ";
    EXPECT_FALSE(ParseCommandLine(args).has_value()) << line;
  }
}

}  // namespace
}  // namespace emulator
