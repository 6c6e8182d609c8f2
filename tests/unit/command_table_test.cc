// The command table is read as the runtime's compiler reads it. The compiler
// stops at the first row it cannot take and knows no command after it, so a
// table that it would refuse must fail here, where no compiler runs.
#include "table/command_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/loaded_module.h"
#include "fake_core/install_fake_core.h"

namespace table {
namespace {

std::string Script(const std::vector<std::string>& rows) {
  std::string script = "STRINGTABLE\nBEGIN\n";
  for (const std::string& row : rows) script += "  " + row + "\n";
  return script + "END\n";
}

std::optional<std::vector<CommandRow>> Read(const std::string& script,
                                            std::string& refusal) {
  return ReadCommandTable(StoredRowsOfScript(script), refusal);
}

TEST(CommandTable, ReadsTheProductTableWholeInIdOrder) {
  std::ifstream file(std::string(VELLUM_SOURCE_DIR) + "/host/module.rc");
  std::stringstream script;
  script << file.rdbuf();
  std::string refusal;
  std::optional<std::vector<CommandRow>> rows = Read(script.str(), refusal);
  ASSERT_TRUE(rows) << refusal;
  ASSERT_EQ(rows->size(), 56u);
  for (size_t i = 1; i < rows->size(); ++i)
    EXPECT_LT((*rows)[i - 1].id, (*rows)[i].id);
  EXPECT_EQ(CheckTable(*rows), std::vector<std::string>{});
}

TEST(CommandTable, ReadsRowsInIdOrderWhateverTheScriptOrder) {
  std::string refusal;
  auto rows =
      Read(Script({R"(902 "GENERATE STRING$[%SD%GenerateSequence%Size")",
                   R"(101 "INSTR[%LSS%Instr_2%Source, Search")",
                   R"(801 "TAB$[%S%Tab%")"}),
           refusal);
  ASSERT_TRUE(rows) << refusal;
  ASSERT_EQ(rows->size(), 3u);
  EXPECT_EQ((*rows)[0].name, "INSTR");
  EXPECT_EQ((*rows)[1].name, "TAB$");
  EXPECT_EQ((*rows)[2].name, "GENERATE STRING$");
}

TEST(CommandTable, TakesEveryCharacterTheCompilerTakesInAName) {
  std::string refusal;
  auto rows = Read(
      Script({R"(1 "Az09_+# $[%SS%Odd%Source")", R"(2 "X%L%Plain%Value")"}),
      refusal);
  ASSERT_TRUE(rows) << refusal;
  EXPECT_EQ((*rows)[0].name, "Az09_+# $");
}

// A good row after the bad one does not save the table: the compiler never
// reaches it.
TEST(CommandTable, RefusesTheWholeTableAtTheFirstRowTheCompilerRefuses) {
  const std::string good_before =
      R"(201 "SPLIT STRING%SS%SplitString%Source, Delimiters")";
  const std::string good_after =
      R"(205 "GET SPLIT DELIMITER$[%SL%SplitDelimiter%Word Number")";
  const struct {
    std::string row;
    std::string reason;
  } kRefused[] = {
      {R"(204 "!SPLIT STRING%H*SS%SplitString%Array, String, Delimiters")",
       "holds '!'"},
      {R"(204 "SPLIT-STRING%SS%SplitString%Source, Delimiters")", "holds '-'"},
      {R"(204 "SPLIT STRING%SS%SplitString")", "does not have the form"},
      {R"(204 "[%L%Count%")", "name is empty"},
  };
  for (const auto& refused : kRefused) {
    std::string refusal;
    EXPECT_FALSE(Read(Script({good_after, refused.row, good_before}), refusal))
        << refused.row;
    EXPECT_NE(refusal.find("row 204 "), std::string::npos) << refusal;
    EXPECT_NE(refusal.find(refused.reason), std::string::npos) << refusal;
  }
}

TEST(CommandTable, RefusesARowPastTheLastIdTheCompilerReads) {
  std::string refusal;
  EXPECT_TRUE(Read(Script({R"(1000 "TAB$[%S%Tab%")"}), refusal)) << refusal;
  EXPECT_FALSE(Read(Script({R"(1001 "TAB$[%S%Tab%")"}), refusal));
  EXPECT_NE(refusal.find("row 1001 "), std::string::npos) << refusal;
}

// The emulator loads no module whose table the compiler would refuse, so
// every case file and example fails on such a table.
TEST(CommandTable, TheEmulatorLoadsNoModuleWithARefusedTable) {
  InstallFakeCore();
  std::string script_path = ::testing::TempDir() + "refused_table.rc";
  {
    std::ofstream script(script_path);
    script << Script(
        {R"(201 "SPLIT STRING%SS%SplitString%Source, Delimiters")",
         R"(204 "!SPLIT STRING%H*SS%SplitString%Array, String, Delimiters")"});
  }
  std::string error;
  std::unique_ptr<emulator::LoadedModule> module =
      emulator::LoadedModule::Load(VELLUM_MODULE_PATH, script_path, error);
  std::remove(script_path.c_str());
  EXPECT_EQ(module, nullptr);
  EXPECT_NE(error.find("row 204 "), std::string::npos) << error;
}

}  // namespace
}  // namespace table
