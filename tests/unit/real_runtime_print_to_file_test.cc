// The copies of the examples that run in the real runtime: if a copy wrote
// something else than the example prints, or moved a line, the runtime's
// output and its error messages would be compared against the wrong thing.
#include <gtest/gtest.h>

#include <string>

#include "emulator/basic/basic_error.h"
#include "table/command_table.h"
#include "tests/real_runtime/every_row_program.h"
#include "tests/real_runtime/print_to_file.h"

namespace real_runtime {
namespace {

std::string Copy(const std::string& source) {
  return PrintToFile(source, "out.txt");
}

TEST(PrintToFile, WritesEachPrintedLineLineForLine) {
  EXPECT_EQ(Copy("a$ = \"x\"\nprint a$\n"),
            "OPEN TO WRITE 1, \"out.txt\" : a$ = \"x\"\r\n"
            "WRITE STRING 1, PRINTED_LINE$ + a$ : PRINTED_LINE$ = \"\"\r\n"
            "CLOSE FILE 1\r\n");
  // A blank first line takes the OPEN alone; a bare PRINT ends the line.
  EXPECT_EQ(Copy("\r\nprint\r\n"),
            "OPEN TO WRITE 1, \"out.txt\"\r\n"
            "WRITE STRING 1, PRINTED_LINE$ : PRINTED_LINE$ = \"\"\r\n"
            "CLOSE FILE 1\r\n");
}

TEST(PrintToFile, WritesNumbersThroughStrAndKeepsStringsAsTheyAre) {
  const struct {
    const char* item;
    const char* written;
  } kItems[] = {
      {"FAST LEN(x$)", "STR$(FAST LEN(x$))"},
      {"STRING COUNT(a$, \";\") + 1", "STR$(STRING COUNT(a$, \";\") + 1)"},
      {"GET SPLIT WORD$(i) + \" [\"", "GET SPLIT WORD$(i) + \" [\""},
      {"\"a\" + STR$(i)", "\"a\" + STR$(i)"},
      {"(a$ + b$)", "(a$ + b$)"},
      {"a$ = b$", "STR$(a$ = b$)"},
      {"(FAST LEN(a$) * 2)", "STR$((FAST LEN(a$) * 2))"},
      {"p", "STR$(p)"},
  };
  for (const auto& item : kItems) {
    std::string copy = Copy(std::string("x = 1 : print ") + item.item + "\n");
    EXPECT_NE(copy.find(std::string("PRINTED_LINE$ + ") + item.written +
                        " : PRINTED_LINE$ = \"\""),
              std::string::npos)
        << copy;
  }
}

// ";" and "," inside a call's parentheses or a string are no separators.
TEST(PrintToFile, JoinsItemsAndKeepsALineOpenAfterATrailingSeparator) {
  std::string copy =
      Copy("print INSTR(a$, \";\", 2); \"x;y\", 3;\nprint \"z\"\n");
  EXPECT_NE(copy.find("PRINTED_LINE$ = PRINTED_LINE$ + STR$(INSTR(a$, \";\", "
                      "2)) + \"x;y\" + STR$(3)\r\n"),
            std::string::npos)
      << copy;
  EXPECT_NE(copy.find("WRITE STRING 1, PRINTED_LINE$ + \"z\""),
            std::string::npos)
      << copy;
}

TEST(PrintToFile, RewritesOnlyStatementsAndLeavesRemarksAlone) {
  std::string copy = Copy(
      "rem print this\n"
      "if a$ = \"print\" then print \"yes\" : wait key\n"
      "remstart\nprint 1\nremend\n"
      "x = 1 : end ` print\n");
  EXPECT_NE(copy.find(" : rem print this\r\n"), std::string::npos) << copy;
  EXPECT_NE(copy.find("if a$ = \"print\" then WRITE STRING 1, PRINTED_LINE$ + "
                      "\"yes\" : PRINTED_LINE$ = \"\" : WAIT 0\r\n"),
            std::string::npos)
      << copy;
  EXPECT_NE(copy.find("remstart\r\nprint 1\r\nremend\r\n"), std::string::npos)
      << copy;
  EXPECT_NE(copy.find("x = 1 : CLOSE FILE 1 : END ` print\r\n"),
            std::string::npos)
      << copy;
}

TEST(PrintToFile, RefusesWhatItCannotCopyFaithfully) {
  EXPECT_THROW(Copy("print a$;;b$\n"), emulator::basic::BasicError);
  EXPECT_THROW(Copy("printed_line$ = \"\"\n"), emulator::basic::BasicError);
  EXPECT_THROW(Copy("print printed_line$\n"), emulator::basic::BasicError);
  EXPECT_THROW(Copy("print \"open\n"), emulator::basic::BasicError);
}

TEST(EveryRowProgram, CallsEachRowInItsOwnForm) {
  std::vector<table::CommandRow> rows = {
      *table::ParseRow(1, "SPLIT STRING%SS%SplitString%Source, Delimiters"),
      *table::ParseRow(2, "MID$[%SSLL%Mid%Source, StartPosition, Size"),
      *table::ParseRow(3, "SPLIT COUNT[%L%SplitCount%"),
  };
  EXPECT_EQ(EveryRowProgram(rows),
            "rem Calls every row of the command table once.\n"
            "SPLIT STRING \"a,b\", \"a,b\"\n"
            "text$ = MID$(\"a,b\", 1, 1)\n"
            "number = SPLIT COUNT()\n"
            "print \"" +
                EveryRowPrinted() + "\"\n");
}

}  // namespace
}  // namespace real_runtime
