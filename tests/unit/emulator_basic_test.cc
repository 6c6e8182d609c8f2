// The BASIC that runs the help's examples: if it ran a program differently
// from the runtime, an example could pass here and print something else for
// the user.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/basic/basic_program.h"
#include "emulator/loaded_module.h"
#include "fake_core/install_fake_core.h"

namespace emulator {
namespace {

class BasicTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallFakeCore();
    std::string error;
    module_ = LoadedModule::Load(
                  VELLUM_MODULE_PATH,
                  std::string(VELLUM_SOURCE_DIR) + "/host/module.rc", error)
                  .release();
    ASSERT_NE(module_, nullptr) << error;
  }
  static BasicRun Run(const std::string& source) {
    return RunBasicProgram(*module_, source);
  }

  static LoadedModule* module_;
};

LoadedModule* BasicTest::module_ = nullptr;

TEST_F(BasicTest, RunsTheControlFlowOfTheRuntime) {
  BasicRun run = Run(
      "rem loops\n"
      "for i = 3 to 1 step -1 : print i; : next i\n"
      "print\n"
      "for i = 5 to 4 : print \"never\" : next i\n"
      "for i = 1 to 4\n"
      "  if i mod 2 = 0 then print \"even \"; i : print \"  (still even)\"\n"
      "  if i = 1\n"
      "    print \"one\"\n"
      "  else\n"
      "    if i < 4 then print \"small\" ` the odd one out\n"
      "  endif\n"
      "next i\n"
      "while n < 3 : n = n + 1 : endwhile\n"
      "repeat : m = m - 1 : until m <= -2\n"
      "remstart\n"
      "print \"hidden\"\n"
      "remend\n"
      "print n; \",\"; m; \",\"; 7 / 2; \",\"; -7 mod 3; \",\"; not 0 and 2 > "
      "1\n"
      "end\n"
      "print \"after end\"\n");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.output,
            "321\none\neven 2\n  (still even)\nsmall\nsmall\neven 4\n  (still "
            "even)\n3,-2,3,-1,1\n");
}

TEST_F(BasicTest, CallsEachFormOfAPluginNameThroughTheAuditedHost) {
  BasicRun run =
      Run("SPLIT STRING \"a,b;;c\", \",;\"\n"
          "print SPLIT COUNT(); \" \"; GET SPLIT WORD$(4); GET SPLIT WORD$(3) "
          "= \"\"\n"
          "print INSTR(\"abcabc\", \"c\"); INSTR(\"abcabc\", \"c\", 4)\n"
          "print QUOTE$() + QUOTE$(\"x\") + CHR$(65) + STR$(-3) + FAST "
          "UPPER$(\"\"); LEN(\"abc\")\n");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.output, "4 c1\n36\n\"\"x\"A-33\n");
}

TEST_F(BasicTest, StopsWhereTheRuntimeWouldStop) {
  BasicRun run =
      Run("print \"before\"\nprint MID$(\"abc\", 0, 1)\nprint \"after\"\n");
  EXPECT_EQ(run.output, "before\n");
  EXPECT_EQ(run.error, "line 2: run-time error 110 in MID$");

  EXPECT_EQ(Run("print MID$(\"abc\", 1)\n").error,
            "line 1: MID$ has no form with 2 parameters");
  EXPECT_EQ(Run("print FAST LEN(3)\n").error,
            "line 1: parameter 1 of FAST LEN must be a string");
  EXPECT_EQ(Run("a$ = 1\n").error, "line 1: type mismatch in assignment to A$");
  EXPECT_EQ(Run("for i = 1 to 2\n").error, "line 1: FOR is never closed");
  EXPECT_EQ(Run("print \"open\n").error, "line 1: unterminated string");
  EXPECT_EQ(Run("while 1 : endwhile\n").error,
            "line 1: the program runs too long");
}

}  // namespace
}  // namespace emulator
