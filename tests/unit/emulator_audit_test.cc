// The emulator's audit against a module whose commands each break one rule:
// a harness that misses these would let the real commands break them too.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/audited_call.h"
#include "emulator/loaded_module.h"
#include "fake_core/install_fake_core.h"
#include "table/command_table.h"

namespace emulator {
namespace {

class AuditTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallFakeCore();
    std::string error;
    module_ = LoadedModule::Load(VELLUM_FAULTY_MODULE_PATH,
                                 VELLUM_FAULTY_MODULE_TABLE, error)
                  .release();
    ASSERT_NE(module_, nullptr) << error;
  }

  static CallOutcome Run(const std::string& name, Value argument,
                         bool pass_old_result = true) {
    const table::CommandRow* row = table::FindRow(module_->rows(), name, 1);
    EXPECT_NE(row, nullptr) << name;
    return RunAudited(*module_, *row, {argument}, pass_old_result);
  }
  static Value Text(const std::string& text) {
    return Value{Value::kString, text, 0};
  }

  static LoadedModule* module_;
};

LoadedModule* AuditTest::module_ = nullptr;

TEST_F(AuditTest, AcceptsAWellBehavedCommand) {
  for (bool old_result : {true, false}) {
    CallOutcome outcome = Run("WELL BEHAVED$", Text("abc"), old_result);
    EXPECT_TRUE(outcome.violations.empty());
    EXPECT_EQ(outcome.text, "abc");
  }
}

TEST_F(AuditTest, FlagsEveryBrokenRule) {
  for (const char* name :
       {"ALLOCATES TOO MUCH$", "ALLOCATES TWICE$", "RELEASES FIRST$",
        "KEEPS OLD RESULT$", "RELEASES TWICE$", "RETURNS OLD RESULT$",
        "WRITES ARGUMENT$"}) {
    EXPECT_FALSE(Run(name, Text("abc")).violations.empty()) << name;
  }
}

TEST_F(AuditTest, OnlyCharacterConstantsGiveTheOldResultBackFirst) {
  auto violations = [](const std::string& name) {
    const table::CommandRow* row = table::FindRow(module_->rows(), name, 0);
    EXPECT_NE(row, nullptr) << name;
    return RunAudited(*module_, *row, {}, true).violations;
  };
  EXPECT_TRUE(violations("CONSTANT FIRST$").empty());
  EXPECT_FALSE(violations("CONSTANT LAST$").empty());
  EXPECT_FALSE(violations("NOT A CONSTANT$").empty());
}

TEST_F(AuditTest, ReportsTheErrorWord) {
  CallOutcome outcome = Run("ERROR ON INTEGER", Value{Value::kInteger, "", 7});
  EXPECT_EQ(outcome.integer, 7);
  EXPECT_EQ(outcome.error, 110);
}

TEST_F(AuditTest, AReadPastTheTerminatorFaultsAtOnce) {
  EXPECT_DEATH(Run("READS PAST TERMINATOR$", Text("abc")), "");
}

}  // namespace
}  // namespace emulator
